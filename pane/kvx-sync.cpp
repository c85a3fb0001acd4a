#include "pane/kvx-sync.h"

#include "host/apple-utilities/apple-utilities.h"
#include "pane/kvx-digits.h"
#include "pane/kvx-globals.h"
#include "pane/kvx-identifiers.h"
#include "pane/kvx-popups.h"
#include "pane/kvx-ppdvalues.h"
#include "pane/kvx-relationships.h"

#define kPrintModeKey CFSTR("PrintMode")
#define kDepartmentCodeKey CFSTR("DeptCode")
#define kZELOrientationKey CFSTR("ZELOrientation")
#define kDINDigitPrefix CFSTR("DINDigit")
#define kDCDigitPrefix CFSTR("DCDigit")
#define kDefaultDigits CFSTR("00000")

static OSStatus GetPrintSettingsPPDDict(PMPrintSession printSession, CFMutableDictionaryRef *outPPDDict)
{
    PMTicketRef printSettingsContainer = 0;
    OSStatus status =
        GetTicketFromSession(printSession, CFSTR(kPDE_PMPrintSettingsRef), &printSettingsContainer);
    if (status != noErr)
        return status;
    return PMTicketGetPPDDict(printSettingsContainer, 0, 0, outPPDDict);
}

OSStatus SyncPaneFromTicket(PMPDEContext context, PMPrintSession printSession)
{
    KVX_PDEContextPtr kvxContext = GetKVXContext(context);

    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus status = GetPrintSettingsPPDDict(printSession, &ppdDict);
    if (status != noErr)
        return status;

    CFStringRef printMode = GetPPDStringValue(ppdDict, kPrintModeKey);
    CFStringRef dinDigits = CreateDigitsFromPPDDict(ppdDict, kDINDigitPrefix, kKVXCodeLength);
    CFStringRef departmentCode = GetPPDStringValue(ppdDict, kDepartmentCodeKey);
    CFStringRef dcDigits = CreateDigitsFromPPDDict(ppdDict, kDCDigitPrefix, kKVXCodeLength);
    CFStringRef zelOrientation = GetPPDStringValue(ppdDict, kZELOrientationKey);

    SetPrintMode(kvxContext->control_PrintMode, printMode != NULL ? printMode : kPrintModeNormal);
    SetDigitsInTextField(kvxContext->control_DIN, dinDigits != NULL ? dinDigits : kDefaultDigits);
    SetDepartmentCode(kvxContext->control_Department, departmentCode != NULL ? departmentCode : kDepartmentCodeOff);
    SetDigitsInTextField(kvxContext->control_DC, dcDigits != NULL ? dcDigits : kDefaultDigits);
    SetZELOrientation(kvxContext->control_ZELOrientation,
                      zelOrientation != NULL ? zelOrientation : kZELOrientationPortrait);

    if (dinDigits != NULL)
        CFRelease(dinDigits);
    if (dcDigits != NULL)
        CFRelease(dcDigits);

    EnforceRelationships(context);
    return noErr;
}

OSStatus SyncTicketFromPane(PMPDEContext context, PMPrintSession printSession)
{
    KVX_PDEContextPtr kvxContext = GetKVXContext(context);

    CFStringRef printMode = GetPrintMode(kvxContext->control_PrintMode);
    CFStringRef departmentCode = GetDepartmentCode(kvxContext->control_Department);
    CFStringRef zelOrientation = GetZELOrientation(kvxContext->control_ZELOrientation);

    CFMutableDictionaryRef ppdDict = NULL;
    OSStatus status = GetPrintSettingsPPDDict(printSession, &ppdDict);
    if (status != noErr)
        return status;

    CFDictionarySetValue(ppdDict, kDepartmentCodeKey, departmentCode);
    CFDictionarySetValue(ppdDict, kPrintModeKey, printMode);
    CFDictionarySetValue(ppdDict, kZELOrientationKey, zelOrientation);
    SetIndividualDigitsInPPDFromTextField(kvxContext->control_DIN, kKVXCodeLength, kDINDigitPrefix, ppdDict);
    SetIndividualDigitsInPPDFromTextField(kvxContext->control_DC, kKVXCodeLength, kDCDigitPrefix, ppdDict);
    return noErr;
}
