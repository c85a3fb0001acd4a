/* Names that tie the pane to its bundle, its interface file and the dialog. */
#ifndef KVX_IDENTIFIERS_H
#define KVX_IDENTIFIERS_H

#include "Carbon.h"

/* The plug-in's own bundle, which holds the interface file and the strings. */
#define kKVXBundleIdentifier CFSTR("com.korvane.kvx.pde")
/* Names this pane's kind to the dialog. */
#define kKVXPaneKindIdentifier CFSTR("com.korvane.kvx.pde.joboptions")
#define kKVXNibName CFSTR("PDE")
#define kKVXNibWindowName CFSTR("Window")

/* Creator code of the pane and signature of every control in the interface file. */
enum { kKVXCreator = 'kvx ', kKVXControlSignature = 'kvx ' };

/* Controls of the interface file, by ID. */
enum {
    kKVXContainerControlID = 1,
    kKVXPrintModeControlID = 5,
    kKVXDINControlID = 6,
    kKVXDepartmentControlID = 7,
    kKVXDCControlID = 8,
    kKVXZELOrientationControlID = 9
};

/* Both digit codes are five digits long. */
enum { kKVXCodeLength = 5 };

#endif
