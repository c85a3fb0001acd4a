#include "pane/kvx-ppdvalues.h"

CFStringRef GetPPDStringValue(CFDictionaryRef inPPDDict, CFStringRef inKey)
{
    CFTypeRef value = CFDictionaryGetValue(inPPDDict, inKey);
    if (value == NULL || CFGetTypeID(value) != CFStringGetTypeID())
        return NULL;
    return (CFStringRef)value;
}
