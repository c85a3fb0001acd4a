#include "menu.hpp"

#include <limits>

#include "KVXHost.h"
#include "core/faults.hpp"
#include "core/strings.hpp"

namespace kvx::host {

CFTypeID Menu::Type() {
    static const CFTypeID type = RegisterType("Menu");
    return type;
}

Menu::Menu() : Object(Type()) {}

Menu::Item *Menu::item(MenuItemIndex number) {
    return number >= 1 && number <= items_.size() ? &items_[number - 1] : nullptr;
}

bool Menu::append(Item item) {
    if (items_.size() >= std::numeric_limits<MenuItemIndex>::max()) return false;
    items_.push_back(std::move(item));
    return true;
}

Menu *AsMenu(MenuRef ref) { return As<Menu>(ref, Menu::Type()); }

}  // namespace kvx::host

using kvx::host::AsMenu;
using kvx::host::Menu;

extern "C" {

CFTypeID KVXMenuGetTypeID(void) { return Menu::Type(); }

// Menu IDs, attributes and item commands are accepted and not kept: no
// operation of this toolbox reads them back.
OSStatus CreateNewMenu(MenuID, MenuAttributes, MenuRef *outMenuRef) {
    if (outMenuRef == nullptr) return paramErr;
    *outMenuRef = kvx::host::ToRef<MenuRef>(kvx::host::Create<Menu>());
    return noErr;
}

MenuRef RetainMenu(MenuRef menu) {
    if (Menu *object = AsMenu(menu)) object->retain();
    return menu;
}

OSStatus ReleaseMenu(MenuRef menu) {
    Menu *object = AsMenu(menu);
    if (object == nullptr) return paramErr;
    object->release();
    return noErr;
}

OSStatus AppendMenuItemTextWithCFString(MenuRef menu, CFStringRef inString, MenuItemAttributes, MenuCommand,
                                        MenuItemIndex *outNewItem) {
    Menu *object = AsMenu(menu);
    if (object == nullptr || inString == nullptr) return paramErr;
    if (!object->append(Menu::Item{std::u16string(kvx::host::StringView(inString))})) return memFullErr;
    if (outNewItem != nullptr) *outNewItem = object->count();
    return noErr;
}

UInt16 CountMenuItems(MenuRef menu) {
    const Menu *object = AsMenu(menu);
    return object == nullptr ? 0 : object->count();
}

// Item 0 and items past the end are ignored.
void CheckMenuItem(MenuRef menu, MenuItemIndex item, Boolean checked) {
    Menu *object = AsMenu(menu);
    if (object == nullptr) return;
    if (Menu::Item *entry = object->item(item)) entry->checked = checked;
}

void GetItemMark(MenuRef menu, MenuItemIndex item, UInt16 *outMark) {
    if (outMark == nullptr) return;
    Menu *object = AsMenu(menu);
    const Menu::Item *entry = object == nullptr ? nullptr : object->item(item);
    *outMark = entry != nullptr && entry->checked ? kMenuCheckMark : kMenuNoMark;
}

// On failure *outString is null.
OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex item, CFStringRef *outString) {
    if (outString == nullptr) return paramErr;
    *outString = nullptr;
    Menu *object = AsMenu(menu);
    if (object == nullptr) return paramErr;
    const Menu::Item *entry = object->item(item);
    if (entry == nullptr || kvx::host::ShouldFail(kKVXFaultCopyMenuItemText)) return menuItemNotFoundErr;
    *outString = kvx::host::CreateString(entry->text);
    return noErr;
}

}  // extern "C"
