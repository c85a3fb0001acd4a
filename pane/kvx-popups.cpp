#include "pane/kvx-popups.h"

/* PPD values in the order of the popups' menu items, position 1 first. */
static const char *const kPrintModeValues[] = {"Normal", "Proof", "Private", "ZEL", "ZELP"};
static const char *const kDepartmentCodeValues[] = {"False", "True"};
static const char *const kZELOrientationValues[] = {"Portrait", "Landscape"};

#define KVX_TABLE_COUNT(table) ((SInt32)(sizeof(table) / sizeof((table)[0])))

static CFStringRef GetPopupValue(ControlRef inPopup, const char *const *inValues, SInt32 inValueCount)
{
    SInt32 position = GetControl32BitValue(inPopup);
    if (position < 1 || position > inValueCount)
        position = 1;
    return __CFStringMakeConstantString(inValues[position - 1]);
}

static void SetPopupValue(ControlRef inPopup, CFStringRef inValue, const char *const *inValues, SInt32 inValueCount)
{
    SInt32 chosenPosition = 1;
    for (SInt32 index = 0; index < inValueCount; index++) {
        if (CFStringCompare(inValue, __CFStringMakeConstantString(inValues[index]), 0) == kCFCompareEqualTo) {
            chosenPosition = index + 1;
            break;
        }
    }

    /* The item shown until now loses its mark before the new one is chosen. */
    MenuRef popupMenu = GetControlPopupMenuHandle(inPopup);
    if (popupMenu != NULL)
        CheckMenuItem(popupMenu, (MenuItemIndex)GetControl32BitValue(inPopup), false);

    SetControl32BitValue(inPopup, chosenPosition);
}

CFStringRef GetPrintMode(ControlRef inPrintModeControl)
{
    return GetPopupValue(inPrintModeControl, kPrintModeValues, KVX_TABLE_COUNT(kPrintModeValues));
}

void SetPrintMode(ControlRef inPrintModeControl, CFStringRef inPrintMode)
{
    SetPopupValue(inPrintModeControl, inPrintMode, kPrintModeValues, KVX_TABLE_COUNT(kPrintModeValues));
}

CFStringRef GetDepartmentCode(ControlRef inDepartmentCodeControl)
{
    return GetPopupValue(inDepartmentCodeControl, kDepartmentCodeValues, KVX_TABLE_COUNT(kDepartmentCodeValues));
}

void SetDepartmentCode(ControlRef inDepartmentCodeControl, CFStringRef inDepartmentCode)
{
    SetPopupValue(inDepartmentCodeControl, inDepartmentCode, kDepartmentCodeValues,
                  KVX_TABLE_COUNT(kDepartmentCodeValues));
}

CFStringRef GetZELOrientation(ControlRef inZELOrientationControl)
{
    return GetPopupValue(inZELOrientationControl, kZELOrientationValues, KVX_TABLE_COUNT(kZELOrientationValues));
}

void SetZELOrientation(ControlRef inZELOrientationControl, CFStringRef inZELOrientation)
{
    SetPopupValue(inZELOrientationControl, inZELOrientation, kZELOrientationValues,
                  KVX_TABLE_COUNT(kZELOrientationValues));
}
