#include "host/apple-utilities/apple-utilities.h"

OSStatus GetTicketFromSession(PMPrintSession inPrintSession, CFStringRef inTicketName, void *outContainer)
{
    CFTypeRef sessionData = NULL;
    OSStatus status = PMSessionGetDataFromSession(inPrintSession, inTicketName, &sessionData);
    if (status != noErr || sessionData == NULL)
        return kPMInvalidTicket;
    /* Only a number can carry a ticket handle; anything else is a failed lookup. */
    if (CFGetTypeID(sessionData) != CFNumberGetTypeID())
        return kPMInvalidTicket;
    CFNumberGetValue((CFNumberRef)sessionData, kCFNumberSInt32Type, outContainer);
    return noErr;
}
