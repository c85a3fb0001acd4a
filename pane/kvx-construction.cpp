#include "pane/kvx-construction.h"

#include "pane/kvx-identifiers.h"

WindowRef CreatePDEWindow(void)
{
    CFBundleRef pdeBundle = CFBundleGetBundleWithIdentifier(kKVXBundleIdentifier);
    if (pdeBundle == NULL)
        return NULL;

    IBNibRef pdeNib = NULL;
    if (CreateNibReferenceWithCFBundle(pdeBundle, kKVXNibName, &pdeNib) != noErr)
        return NULL;

    WindowRef window = NULL;
    OSStatus status = CreateWindowFromNib(pdeNib, kKVXNibWindowName, &window);
    DisposeNibReference(pdeNib);
    if (status != noErr)
        return NULL;
    return window;
}

/* Half of how much the window's extent exceeds the pane's; never negative. */
static SInt16 HalfOfExcess(SInt32 inWindowExtent, SInt32 inPaneExtent)
{
    SInt16 delta = (SInt16)((inWindowExtent - inPaneExtent) / 2);
    return delta < 0 ? 0 : delta;
}

OSStatus MoveControlToPane(WindowRef inSourceWindow, OSType inControlSignature, SInt32 inControlID,
                           ControlRef inDestinationPane)
{
    if (inSourceWindow == NULL || inDestinationPane == NULL)
        return paramErr;

    ControlID controlID = {inControlSignature, inControlID};
    ControlRef controlToMove = NULL;
    OSStatus status = GetControlByID(inSourceWindow, &controlID, &controlToMove);
    if (status != noErr)
        return status;

    Rect sourceWindowBounds;
    status = GetWindowBounds(inSourceWindow, kWindowContentRgn, &sourceWindowBounds);
    if (status != noErr)
        return status;

    Rect controlToMoveBounds;
    Rect destinationBounds;
    GetControlBounds(controlToMove, &controlToMoveBounds);
    GetControlBounds(inDestinationPane, &destinationBounds);

    SInt16 horizontalDelta = HalfOfExcess((SInt32)sourceWindowBounds.right - sourceWindowBounds.left,
                                          (SInt32)destinationBounds.right - destinationBounds.left);
    SInt16 verticalDelta = HalfOfExcess((SInt32)sourceWindowBounds.bottom - sourceWindowBounds.top,
                                        (SInt32)destinationBounds.bottom - destinationBounds.top);

    OffsetRect(&controlToMoveBounds, (SInt16)(horizontalDelta + destinationBounds.left),
               (SInt16)(verticalDelta + destinationBounds.top));
    SetControlBounds(controlToMove, &controlToMoveBounds);
    return EmbedControl(controlToMove, inDestinationPane);
}

ControlRef GetControlFromWindow(WindowRef inSourceWindow, OSType inControlSignature, SInt32 inControlID)
{
    ControlID controlID = {inControlSignature, inControlID};
    ControlRef control = NULL;
    if (GetControlByID(inSourceWindow, &controlID, &control) != noErr)
        return NULL;
    return control;
}
