#include "session/controls/control_labels.hpp"

#include "session/controls/pane_controls.hpp"

namespace kvx::session {
namespace {

constexpr std::string_view kLabelEnding = ": ";

bool IsStaticText(ControlRef control) {
    ::ControlKind kind{};
    return GetControlKind(control, &kind) == noErr && kind.kind == kControlKindStaticText;
}

}  // namespace

ControlRef FindControlLabel(ControlRef control) {
    ControlRef container = nullptr;
    UInt16 count = 0;
    if (GetSuperControl(control, &container) != noErr || CountSubControls(container, &count) != noErr) return nullptr;
    const Rect bounds = ControlBounds(control);
    ControlRef nearest = nullptr;
    SInt16 nearestRight = 0;
    for (UInt16 index = 1; index <= count; ++index) {
        ControlRef sibling = nullptr;
        if (GetIndexedSubControl(container, index, &sibling) != noErr || !IsStaticText(sibling)) continue;
        const Rect candidate = ControlBounds(sibling);
        const bool sharesRows = candidate.top < bounds.bottom && bounds.top < candidate.bottom;
        if (sharesRows && candidate.right <= bounds.left && (nearest == nullptr || candidate.right > nearestRight)) {
            nearest = sibling;
            nearestRight = candidate.right;
        }
    }
    return nearest;
}

std::string AccessibleNameFromLabel(ControlRef label) {
    std::string name = CopyControlTitle(label);
    name.erase(name.find_last_not_of(kLabelEnding) + 1);
    return name;
}

}  // namespace kvx::session
