#include "popup_button.hpp"

#include "core/strings.hpp"

namespace kvx::host {
namespace {

PopupButton *AsPopupButton(ControlRef ref) { return dynamic_cast<PopupButton *>(AsControl(ref)); }

}  // namespace

PopupButton::PopupButton(const Rect &bounds, std::u16string title, Reference<Menu> menu)
    : Control(kControlKindPopupButton, bounds), menu_(std::move(menu)) {
    setTitle(std::move(title));
    setValue(1);
}

}  // namespace kvx::host

using kvx::host::AsMenu;
using kvx::host::PopupButton;

extern "C" {

OSStatus CreatePopupButtonControl(WindowRef window, const Rect *boundsRect, CFStringRef title, MenuRef menu,
                                  ControlRef *outControl) {
    return kvx::host::PlaceNewControl(window, boundsRect, outControl, [&](const Rect &bounds) {
        return kvx::host::Adopt<kvx::host::Control>(kvx::host::Create<PopupButton>(
            bounds, std::u16string(kvx::host::StringView(title)), kvx::host::Retain(AsMenu(menu))));
    });
}

MenuRef GetControlPopupMenuHandle(ControlRef control) {
    const PopupButton *popup = kvx::host::AsPopupButton(control);
    return popup == nullptr ? nullptr : kvx::host::ToRef<MenuRef>(popup->menu());
}

// The popup retains the new menu and releases the old one.
void SetControlPopupMenuHandle(ControlRef control, MenuRef menu) {
    if (PopupButton *popup = kvx::host::AsPopupButton(control)) popup->setMenu(kvx::host::Retain(AsMenu(menu)));
}

}  // extern "C"
