/* The two digit-code fields: a field's text read as a code left-filled with
 * "0" to its length, and the code stored as one PPD key per digit
 * (prefix + digit number, e.g. "DINDigit1"). Create functions hand a new
 * string to the caller, who releases it. */
#ifndef KVX_DIGITS_H
#define KVX_DIGITS_H

#include "Carbon.h"

/* The field's text left-filled with "0" to inMaxLength (a longer text comes
 * back whole); null when the text cannot be read. */
CFStringRef CreateZeroPaddedDigitsFromTextField(ControlRef inDigitControl, SInt8 inMaxLength);
/* The character at inDigitOffset of the zero-filled text; null when the
 * field's text cannot be read. */
CFStringRef CreateNthDigitFromTextField(ControlRef inDigitControl, SInt8 inDigitOffset, SInt8 inMaxLength);
/* inDigits stays the caller's. */
void SetDigitsInTextField(ControlRef inDigitControl, CFStringRef inDigits);
/* Sets prefix1 .. prefixN to the field's digits, in that order; a digit
 * that cannot be read leaves its key as it was. */
void SetIndividualDigitsInPPDFromTextField(ControlRef inDigitControl, SInt8 inMaxLength, CFStringRef inPPDValuePrefix,
                                           CFMutableDictionaryRef inPPDDict);
/* The values of prefix1 .. prefixN joined in order; null when an argument is
 * missing or any key is missing or not a string. */
CFStringRef CreateDigitsFromPPDDict(CFDictionaryRef inPPDDict, CFStringRef inKeyPrefix, SInt8 inMaxLength);

#endif
