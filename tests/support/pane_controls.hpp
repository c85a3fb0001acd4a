// The pane's controls as the interface file names them, and the statuses its
// callbacks give: shared by the tests and the fuzz targets that drive it.
#pragma once

#include "MacTypes.h"

namespace kvx::pane_controls {

inline constexpr OSType kPaneSignature = 'kvx ';
inline constexpr SInt32 kContainerID = 1;
inline constexpr SInt32 kPrintModeID = 5;
inline constexpr SInt32 kDINID = 6;
inline constexpr SInt32 kDepartmentID = 7;
inline constexpr SInt32 kDCID = 8;
inline constexpr SInt32 kZELOrientationID = 9;

inline constexpr OSStatus kPaneNotShown = -9530;

}  // namespace kvx::pane_controls
