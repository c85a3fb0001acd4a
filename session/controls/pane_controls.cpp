#include "session/controls/pane_controls.hpp"

#include <limits>

#include "KVXHostSupport.hpp"

namespace kvx::session {

const ControlSpec *FindControlSpec(std::string_view name) {
    for (const ControlSpec &spec : kPaneControls) {
        if (spec.name == name) return &spec;
    }
    return nullptr;
}

ControlRef FindPaneControl(WindowRef window, const ControlSpec &spec) {
    const ControlID id{kPaneControlSignature, spec.id};
    ControlRef control = nullptr;
    if (GetControlByID(window, &id, &control) != noErr) return nullptr;
    return control;
}

Rect ControlBounds(ControlRef control) {
    Rect bounds{};
    GetControlBounds(control, &bounds);
    return bounds;
}

std::string CopyControlTitle(ControlRef control) {
    CFHolder<CFStringRef> title;
    if (CopyControlTitleAsCFString(control, title.out()) != noErr) return {};
    return ToUTF8(title.get());
}

std::optional<std::string> CopyPopupItemText(ControlRef popup, SInt32 position) {
    MenuRef menu = GetControlPopupMenuHandle(popup);
    if (menu == nullptr || position < 1 || position > std::numeric_limits<MenuItemIndex>::max()) return std::nullopt;
    CFHolder<CFStringRef> text;
    if (CopyMenuItemTextAsCFString(menu, static_cast<MenuItemIndex>(position), text.out()) != noErr || !text) {
        return std::nullopt;
    }
    return ToUTF8(text.get());
}

UInt16 CountPopupItems(ControlRef popup) {
    MenuRef menu = GetControlPopupMenuHandle(popup);
    return menu == nullptr ? 0 : CountMenuItems(menu);
}

std::optional<std::string> CopyFieldText(ControlRef field) {
    CFHolder<CFStringRef> text;
    if (GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof(CFStringRef), text.out(),
                       nullptr) != noErr ||
        !text) {
        return std::nullopt;
    }
    return ToUTF8(text.get());
}

std::optional<ControlEditTextSelectionRec> GetFieldSelection(ControlRef field) {
    ControlEditTextSelectionRec selection{};
    if (GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection, &selection,
                       nullptr) != noErr) {
        return std::nullopt;
    }
    return selection;
}

}  // namespace kvx::session
