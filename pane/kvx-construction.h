/* Building the pane from the interface file in the plug-in's bundle. */
#ifndef KVX_CONSTRUCTION_H
#define KVX_CONSTRUCTION_H

#include "Carbon.h"

/* The interface file's window, never shown; the caller disposes of it with
 * DisposeWindow. Null when the bundle, the file or the window is missing. */
WindowRef CreatePDEWindow(void);
/* Moves the control, with everything embedded in it, into inDestinationPane,
 * pushed right and down by half of the amount by which the window's content
 * exceeds the pane. 0, paramErr for a null window or pane, or the failing
 * toolbox status. */
OSStatus MoveControlToPane(WindowRef inSourceWindow, OSType inControlSignature, SInt32 inControlID,
                           ControlRef inDestinationPane);
/* The control with that signature and ID anywhere in the window, or null. */
ControlRef GetControlFromWindow(WindowRef inSourceWindow, OSType inControlSignature, SInt32 inControlID);

#endif
