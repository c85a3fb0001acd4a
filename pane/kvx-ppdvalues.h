/* Reading the print-settings ticket's PPD dictionary safely. */
#ifndef KVX_PPDVALUES_H
#define KVX_PPDVALUES_H

#include "CoreFoundation.h"

/* The string value of inKey, borrowed; null when the key is missing or its
 * value is not a string (a ticket may hold anything under any key). */
CFStringRef GetPPDStringValue(CFDictionaryRef inPPDDict, CFStringRef inKey);

#endif
