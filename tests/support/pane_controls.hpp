// The pane's controls and the statuses its callbacks give, by the names the
// tests use: taken from the dialog's one definition of them.
#pragma once

#include <string_view>

#include "pane/pane_controls.hpp"

namespace kvx::pane_controls {

constexpr SInt32 PaneControlID(std::string_view name) {
    for (const dialog::ControlSpec &spec : dialog::kPaneControls) {
        if (spec.name == name) return spec.id;
    }
    return 0;
}

inline constexpr OSType kPaneSignature = dialog::kPaneControlSignature;
// The container that the pane moves into the dialog's pane; the dialog
// itself never addresses it.
inline constexpr SInt32 kContainerID = 1;
inline constexpr SInt32 kPrintModeID = PaneControlID("print-mode");
inline constexpr SInt32 kDINID = PaneControlID("din");
inline constexpr SInt32 kDepartmentID = PaneControlID("department");
inline constexpr SInt32 kDCID = PaneControlID("dc");
inline constexpr SInt32 kZELOrientationID = PaneControlID("orientation");

inline constexpr OSStatus kPaneNotShown = dialog::kPaneNotShownStatus;

}  // namespace kvx::pane_controls
