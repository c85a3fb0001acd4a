/* Moving the pane's five settings between its controls and the PPD main keys
 * of the print-settings ticket, in both directions. */
#ifndef KVX_SYNC_H
#define KVX_SYNC_H

#include "PrintCore.h"

/* Sets the controls from the ticket (defaults for missing keys) and applies
 * the relationships; 0, or the status of the failed ticket lookup. */
OSStatus SyncPaneFromTicket(PMPDEContext context, PMPrintSession printSession);
/* Writes the controls into the ticket; 0, or the status of the failed
 * ticket lookup. */
OSStatus SyncTicketFromPane(PMPDEContext context, PMPrintSession printSession);

#endif
