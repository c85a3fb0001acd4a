/* Small helpers over the printing system that the pane shares between its
 * settings sync and its printer check. */
#ifndef KVX_APPLE_UTILITIES_H
#define KVX_APPLE_UTILITIES_H

#include "PrintCore.h"

/* Stores the handle of the session's ticket named inTicketName where
 * outContainer points (a PMTicketRef) and returns 0; kPMInvalidTicket
 * (-30891) when the session holds no such ticket or the lookup fails. */
OSStatus GetTicketFromSession(PMPrintSession inPrintSession, CFStringRef inTicketName, void *outContainer);

#endif
