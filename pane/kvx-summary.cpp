#include "pane/kvx-digits.h"
#include "pane/kvx-globals.h"
#include "pane/kvx-identifiers.h"
#include "pane/kvx-popups.h"
#include "pane/kvx-source.h"

#define kPrintModeTitleKey CFSTR("DINTITLE")
#define kDINTitleKey CFSTR("DIN")
#define kZELOrientationTitleKey CFSTR("ZELOrientation")
#define kDepartmentCodeTitleKey CFSTR("DC")
#define kMissingTitle CFSTR("Missing Localizable.strings")

static CFStringRef CopySummaryTitle(CFStringRef inKey)
{
    CFBundleRef pdeBundle = CFBundleGetBundleWithIdentifier(kKVXBundleIdentifier);
    return CFBundleCopyLocalizedString(pdeBundle, inKey, kMissingTitle, NULL);
}

/* Appends the row and gives up this call's references to its strings. */
static void AppendSummaryRow(CFMutableArrayRef inTitles, CFMutableArrayRef inSummaries, CFStringRef inTitle,
                             CFStringRef inValue)
{
    CFArrayAppendValue(inTitles, inTitle);
    CFArrayAppendValue(inSummaries, inValue);
    CFRelease(inTitle);
    CFRelease(inValue);
}

/* A row whose value is the text of the popup's chosen item; 0, or the
 * status that ends the whole summary. */
static OSStatus AppendPopupRow(CFMutableArrayRef inTitles, CFMutableArrayRef inSummaries, CFStringRef inTitleKey,
                               ControlRef inPopup)
{
    CFStringRef title = CopySummaryTitle(inTitleKey);
    MenuRef popupMenu = GetControlPopupMenuHandle(inPopup);
    if (popupMenu == NULL) {
        CFRelease(title);
        return kPMGeneralError;
    }
    CFStringRef itemText = NULL;
    OSStatus status =
        CopyMenuItemTextAsCFString(popupMenu, (MenuItemIndex)GetControl32BitValue(inPopup), &itemText);
    if (status != noErr) {
        CFRelease(title);
        return status;
    }
    AppendSummaryRow(inTitles, inSummaries, title, itemText);
    return noErr;
}

/* A row whose value is the field's code, zero-filled; a field whose text
 * cannot be read gives no row rather than a row without a value. */
static void AppendDigitsRow(CFMutableArrayRef inTitles, CFMutableArrayRef inSummaries, CFStringRef inTitleKey,
                            ControlRef inDigitField)
{
    CFStringRef title = CopySummaryTitle(inTitleKey);
    CFStringRef digits = CreateZeroPaddedDigitsFromTextField(inDigitField, kKVXCodeLength);
    if (digits == NULL) {
        CFRelease(title);
        return;
    }
    AppendSummaryRow(inTitles, inSummaries, title, digits);
}

OSStatus GetSummaryText(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray)
{
    KVX_PDEContextPtr kvxContext = GetKVXContext(context);
    if (kvxContext == NULL)
        return memFullErr;

    CFMutableArrayRef titles = CFArrayCreateMutable(CFAllocatorGetDefault(), 0, &kCFTypeArrayCallBacks);
    CFMutableArrayRef summarys = CFArrayCreateMutable(CFAllocatorGetDefault(), 0, &kCFTypeArrayCallBacks);

    OSStatus status = AppendPopupRow(titles, summarys, kPrintModeTitleKey, kvxContext->control_PrintMode);
    if (status == noErr) {
        CFStringRef printModePPDValue = GetPrintMode(kvxContext->control_PrintMode);
        if (CFStringCompare(printModePPDValue, kPrintModePrivate, 0) == kCFCompareEqualTo)
            AppendDigitsRow(titles, summarys, kDINTitleKey, kvxContext->control_DIN);
        else if (CFStringCompare(printModePPDValue, kPrintModeZEL, 0) == kCFCompareEqualTo ||
                 CFStringCompare(printModePPDValue, kPrintModeZELP, 0) == kCFCompareEqualTo)
            status = AppendPopupRow(titles, summarys, kZELOrientationTitleKey, kvxContext->control_ZELOrientation);
    }
    if (status == noErr) {
        CFStringRef departmentSwitchPPDValue = GetDepartmentCode(kvxContext->control_Department);
        if (CFStringCompare(departmentSwitchPPDValue, kDepartmentCodeOn, 0) == kCFCompareEqualTo)
            AppendDigitsRow(titles, summarys, kDepartmentCodeTitleKey, kvxContext->control_DC);
    }

    if (status != noErr) {
        /* No partial summary is ever handed out. */
        CFRelease(titles);
        CFRelease(summarys);
        return status;
    }
    *titleArray = titles;
    *summaryArray = summarys;
    return noErr;
}
