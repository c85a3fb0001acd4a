/* The three choice popups: the mapping between a popup's 1-based position
 * and the PPD value that the print-settings ticket stores. Values outside a
 * table fall back to position 1 in both directions. The strings returned are
 * constants: callers neither retain nor release them. */
#ifndef KVX_POPUPS_H
#define KVX_POPUPS_H

#include "Carbon.h"

#define kPrintModeNormal CFSTR("Normal")
#define kPrintModePrivate CFSTR("Private")
#define kPrintModeZEL CFSTR("ZEL")
#define kPrintModeZELP CFSTR("ZELP")
#define kDepartmentCodeOff CFSTR("False")
#define kDepartmentCodeOn CFSTR("True")
#define kZELOrientationPortrait CFSTR("Portrait")

CFStringRef GetPrintMode(ControlRef inPrintModeControl);
void SetPrintMode(ControlRef inPrintModeControl, CFStringRef inPrintMode);
CFStringRef GetDepartmentCode(ControlRef inDepartmentCodeControl);
void SetDepartmentCode(ControlRef inDepartmentCodeControl, CFStringRef inDepartmentCode);
CFStringRef GetZELOrientation(ControlRef inZELOrientationControl);
void SetZELOrientation(ControlRef inZELOrientationControl, CFStringRef inZELOrientation);

#endif
