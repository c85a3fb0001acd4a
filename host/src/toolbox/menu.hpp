// Menus: reference-counted lists of items with a text and a check mark.
#pragma once

#include <string>
#include <vector>

#include "Carbon.h"
#include "core/object.hpp"

namespace kvx::host {

class Menu final : public Object {
public:
    struct Item {
        std::u16string text;
        bool checked = false;
    };

    static CFTypeID Type();
    Menu();

    // Items are numbered from 1; null for a number outside the menu.
    Item *item(MenuItemIndex number);
    // False when the menu is full (item numbers are 16 bits).
    bool append(Item item);
    UInt16 count() const { return static_cast<UInt16>(items_.size()); }
    // Room for that many items, for a menu whose length is known up front.
    void reserve(size_t items) { items_.reserve(items); }

private:
    std::vector<Item> items_;
};

Menu *AsMenu(MenuRef ref);

}  // namespace kvx::host
