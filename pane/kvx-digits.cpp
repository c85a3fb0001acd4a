#include "pane/kvx-digits.h"

#include "pane/kvx-ppdvalues.h"

static const UniChar kZeroDigit = '0';
#define kDigitKeyFormat CFSTR("%@%d")

CFStringRef CreateZeroPaddedDigitsFromTextField(ControlRef inDigitControl, SInt8 inMaxLength)
{
    CFStringRef fieldText = NULL;
    OSErr status = GetControlData(inDigitControl, kControlEntireControl, kControlEditTextCFStringTag,
                                  sizeof(CFStringRef), &fieldText, NULL);
    if (status != noErr || fieldText == NULL)
        return NULL;

    CFMutableStringRef paddedText = NULL;
    CFIndex missingDigits = inMaxLength - CFStringGetLength(fieldText);
    if (missingDigits <= 0) {
        /* A text at or over the code length is kept whole, never cut. */
        paddedText = CFStringCreateMutableCopy(kCFAllocatorDefault, 0, fieldText);
    } else {
        paddedText = CFStringCreateMutable(kCFAllocatorDefault, inMaxLength);
        for (CFIndex index = 0; index < missingDigits; index++)
            CFStringAppendCharacters(paddedText, &kZeroDigit, 1);
        CFStringAppend(paddedText, fieldText);
    }
    CFRelease(fieldText);
    return paddedText;
}

CFStringRef CreateNthDigitFromTextField(ControlRef inDigitControl, SInt8 inDigitOffset, SInt8 inMaxLength)
{
    CFStringRef paddedText = CreateZeroPaddedDigitsFromTextField(inDigitControl, inMaxLength);
    if (paddedText == NULL)
        return NULL;
    UniChar digit = CFStringGetCharacterAtIndex(paddedText, inDigitOffset);
    CFRelease(paddedText);
    return CFStringCreateWithCharacters(kCFAllocatorDefault, &digit, 1);
}

void SetDigitsInTextField(ControlRef inDigitControl, CFStringRef inDigits)
{
    SetControlData(inDigitControl, kControlEntireControl, kControlEditTextCFStringTag, sizeof(CFStringRef),
                   &inDigits);
}

void SetIndividualDigitsInPPDFromTextField(ControlRef inDigitControl, SInt8 inMaxLength, CFStringRef inPPDValuePrefix,
                                           CFMutableDictionaryRef inPPDDict)
{
    for (SInt8 digitNumber = 1; digitNumber <= inMaxLength; digitNumber++) {
        /* Each digit reads the field anew; one that cannot be read writes no key. */
        CFStringRef digit = CreateNthDigitFromTextField(inDigitControl, (SInt8)(digitNumber - 1), inMaxLength);
        if (digit == NULL)
            continue;
        CFStringRef key = CFStringCreateWithFormat(kCFAllocatorDefault, NULL, kDigitKeyFormat, inPPDValuePrefix,
                                                   (int)digitNumber);
        CFDictionarySetValue(inPPDDict, key, digit);
        CFRelease(key);
        CFRelease(digit);
    }
}

CFStringRef CreateDigitsFromPPDDict(CFDictionaryRef inPPDDict, CFStringRef inKeyPrefix, SInt8 inMaxLength)
{
    if (inPPDDict == NULL || inKeyPrefix == NULL || inMaxLength == 0)
        return NULL;

    CFMutableStringRef digits = CFStringCreateMutable(kCFAllocatorDefault, 0);
    Boolean invalidPPDContents = false;
    for (SInt8 digitNumber = 1; digitNumber <= inMaxLength; digitNumber++) {
        CFStringRef key =
            CFStringCreateWithFormat(kCFAllocatorDefault, NULL, kDigitKeyFormat, inKeyPrefix, (int)digitNumber);
        CFStringRef value = GetPPDStringValue(inPPDDict, key);
        CFRelease(key);
        if (value == NULL)
            invalidPPDContents = true;
        else
            CFStringAppend(digits, value);
    }

    if (invalidPPDContents) {
        CFRelease(digits);
        return NULL;
    }
    return digits;
}
