// Popup buttons: a control whose value is the 1-based position of the chosen
// item of the menu that it holds.
#pragma once

#include "control.hpp"
#include "menu.hpp"

namespace kvx::host {

class PopupButton final : public Control {
public:
    // Value 1. menu may be null: a popup without a menu.
    PopupButton(const Rect &bounds, std::u16string title, Reference<Menu> menu);

    Menu *menu() const { return menu_.get(); }
    void setMenu(Reference<Menu> menu) { menu_ = std::move(menu); }

private:
    Reference<Menu> menu_;
};

}  // namespace kvx::host
