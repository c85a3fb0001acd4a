#include "pane/kvx-source.h"

#include "constraints/kvx-controlconstraints.h"
#include "pane/kvx-construction.h"
#include "pane/kvx-globals.h"
#include "pane/kvx-identifiers.h"
#include "pane/kvx-printercheck.h"
#include "pane/kvx-relationships.h"
#include "pane/kvx-sync.h"

/* Prologue could not make the record: every later callback lacks its state. */
static const OSStatus kKVXNoContextErr = memFullErr;

OSStatus Prologue(PMPDEContext *context, OSType *creator, CFStringRef *userOptionKind, CFStringRef *title,
                  UInt32 *maxH, UInt32 *maxV)
{
    KVX_PDEContextPtr kvxContext = CreateKVXContext();
    *context = (PMPDEContext)kvxContext;
    *creator = kKVXCreator;
    *userOptionKind = kKVXPaneKindIdentifier;
    if (kvxContext == NULL)
        return kKVXNoContextErr;

    WindowRef window = CreatePDEWindow();
    if (window == NULL)
        return kPMPDEPaneNotShownErr;

    Rect windowBounds = {0, 0, 0, 0};
    OSStatus result = GetWindowBounds(window, kWindowContentRgn, &windowBounds);
    *maxV = (UInt32)(windowBounds.bottom - windowBounds.top);
    *maxH = (UInt32)(windowBounds.right - windowBounds.left);
    if (result == noErr)
        result = CopyWindowTitleAsCFString(window, title);
    DisposeWindow(window);
    return result;
}

OSStatus Initialize(PMPDEContext context, PMPDEFlags *flags, PMPDERef ref, ControlRef parentUserPane,
                    PMPrintSession printSession)
{
    (void)ref;
    KVX_PDEContextPtr kvxContext = GetKVXContext(context);
    if (kvxContext == NULL)
        return kKVXNoContextErr;

    if (!IsPDENeededForThisPrinter(printSession))
        return kPMPDEPaneNotShownErr;

    kvxContext->updateRelationshipsTimer = NULL;
    *flags = 0;

    WindowRef window = CreatePDEWindow();
    /* A failed move shows as a missing container below. */
    MoveControlToPane(window, kKVXControlSignature, kKVXContainerControlID, parentUserPane);

    WindowRef dialogWindow = GetControlOwner(parentUserPane);
    kvxContext->control_InvisiblePane = GetControlFromWindow(dialogWindow, kKVXControlSignature, kKVXContainerControlID);
    kvxContext->control_PrintMode = GetControlFromWindow(dialogWindow, kKVXControlSignature, kKVXPrintModeControlID);
    kvxContext->control_DIN = GetControlFromWindow(dialogWindow, kKVXControlSignature, kKVXDINControlID);
    kvxContext->control_Department = GetControlFromWindow(dialogWindow, kKVXControlSignature, kKVXDepartmentControlID);
    kvxContext->control_DC = GetControlFromWindow(dialogWindow, kKVXControlSignature, kKVXDCControlID);
    kvxContext->control_ZELOrientation =
        GetControlFromWindow(dialogWindow, kKVXControlSignature, kKVXZELOrientationControlID);

    if (kvxContext->control_InvisiblePane == NULL || kvxContext->control_PrintMode == NULL ||
        kvxContext->control_DIN == NULL || kvxContext->control_Department == NULL || kvxContext->control_DC == NULL ||
        kvxContext->control_ZELOrientation == NULL) {
        if (window != NULL)
            DisposeWindow(window);
        return kPMPDEPaneNotShownErr;
    }
    DisposeWindow(window);

    OSStatus result = Sync(context, printSession, true);

    kvxContext->constraintLength_DIN = AttachTextLengthConstraint(kvxContext->control_DIN, kKVXCodeLength);
    kvxContext->constraintLength_DC = AttachTextLengthConstraint(kvxContext->control_DC, kKVXCodeLength);
    kvxContext->constraintDigitOnly_DIN = AttachTextDigitOnlyConstraint(kvxContext->control_DIN);
    kvxContext->constraintDigitOnly_DC = AttachTextDigitOnlyConstraint(kvxContext->control_DC);
    AttachRelationshipHandlers(context);
    EnforceRelationships(context);
    return result;
}

OSStatus Sync(PMPDEContext context, PMPrintSession printSession, Boolean reinitializePlugin)
{
    if (GetKVXContext(context) == NULL)
        return kKVXNoContextErr;
    if (reinitializePlugin == true)
        return SyncPaneFromTicket(context, printSession);
    return SyncTicketFromPane(context, printSession);
}

OSStatus Open(PMPDEContext context)
{
    (void)context;
    return noErr;
}

OSStatus Close(PMPDEContext context)
{
    (void)context;
    return noErr;
}

OSStatus Terminate(PMPDEContext context, OSStatus status)
{
    (void)status;
    KVX_PDEContextPtr kvxContext = GetKVXContext(context);
    if (kvxContext == NULL)
        return noErr;

    /* The timer's info points at the record: it goes before the record does. */
    if (kvxContext->updateRelationshipsTimer != NULL) {
        CFRunLoopRemoveTimer(CFRunLoopGetCurrent(), kvxContext->updateRelationshipsTimer, kCFRunLoopCommonModes);
        CFRunLoopTimerInvalidate(kvxContext->updateRelationshipsTimer);
        CFRelease(kvxContext->updateRelationshipsTimer);
    }
    DetachTextConstraint(kvxContext->constraintLength_DIN);
    DetachTextConstraint(kvxContext->constraintLength_DC);
    DetachTextConstraint(kvxContext->constraintDigitOnly_DIN);
    DetachTextConstraint(kvxContext->constraintDigitOnly_DC);
    DetachRelationshipHandlers(context);
    DisposeKVXContext(kvxContext);
    return noErr;
}
