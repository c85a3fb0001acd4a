#include "pane/kvx-printercheck.h"

#include "host/apple-utilities/apple-utilities.h"

#define kSupportedModelName CFSTR("Korvane RM-4750")

/* "ModelName" behind its length byte. */
static const unsigned char kModelNameKey[] = {9, 'M', 'o', 'd', 'e', 'l', 'N', 'a', 'm', 'e'};

Boolean IsPDENeededForThisPrinter(PMPrintSession printSession)
{
    Boolean supportedPrinter = false;
    PMTicketRef printerInfoTicket = 0;
    if (GetTicketFromSession(printSession, CFSTR(kPDE_PMPrinterInfoRef), &printerInfoTicket) != noErr)
        return false;

    PPDContext ppdContext = NULL;
    FSSpec ppdFile;
    if (ppdOpenCompiledPPDFromTicket(printerInfoTicket, &ppdContext, &ppdFile) != noErr)
        return false;

    Mindex modelNameIndex = ppdGetMainIndex(ppdContext, kModelNameKey);
    if (modelNameIndex != 0) {
        /* An empty name, should the read fail, matches nothing. */
        Str255 modelStr;
        modelStr[0] = 0;
        ppdGetInvocationString(ppdContext, modelNameIndex, 0, modelStr, sizeof(modelStr));
        CFStringRef model = CFStringCreateWithPascalString(CFAllocatorGetDefault(), modelStr, kCFStringEncodingMacRoman);
        if (model != NULL) {
            CFShow(model);
            if (CFStringCompare(model, kSupportedModelName, 0) == kCFCompareEqualTo)
                supportedPrinter = true;
            CFRelease(model);
        }
    }

    if (ppdCloseCompiledPPDFromTicket(ppdContext, &ppdFile) != noErr)
        return false;
    return supportedPrinter;
}
