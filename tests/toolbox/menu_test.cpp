// Menus and popups: items, check marks and who holds the menu.
#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

MenuRef NewMenu(std::initializer_list<std::string_view> items) {
    MenuRef menu = nullptr;
    EXPECT_EQ(CreateNewMenu(1, 0, &menu), noErr);
    for (const auto item : items) {
        MenuItemIndex index = 0;
        EXPECT_EQ(AppendMenuItemTextWithCFString(menu, MakeString(item).get(), 0, 0, &index), noErr);
        EXPECT_EQ(index, CountMenuItems(menu));
    }
    return menu;
}

UInt16 Mark(MenuRef menu, MenuItemIndex item) {
    UInt16 mark = 0xFFFF;
    GetItemMark(menu, item, &mark);
    return mark;
}

using Menus = ToolboxTest;

TEST_F(Menus, ItemTextAndCheckMarksFollowTheirIndex) {
    MenuRef menu = NewMenu({"Normal", "Proof", "Private"});
    CheckMenuItem(menu, 2, true);
    CheckMenuItem(menu, 0, true);
    CheckMenuItem(menu, 4, true);
    EXPECT_EQ(Mark(menu, 2), kMenuCheckMark);
    EXPECT_EQ(Mark(menu, 1), kMenuNoMark);
    EXPECT_EQ(Mark(menu, 3), kMenuNoMark);
    EXPECT_EQ(Mark(menu, 4), kMenuNoMark) << "items past the end are ignored";
    CheckMenuItem(menu, 2, false);
    EXPECT_EQ(Mark(menu, 2), kMenuNoMark);

    CFStringRef text = nullptr;
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 3, &text), noErr);
    EXPECT_EQ(ToUTF8(text), "Private");
    CFRelease(text);
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 0, &text), menuItemNotFoundErr);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 4, &text), menuItemNotFoundErr);
    ReleaseMenu(menu);
}

TEST_F(Menus, PopupHoldsItsMenuAndItsValueUnclamped) {
    WindowRef window = NewWindow();
    MenuRef menu = NewMenu({"False", "True"});
    ControlRef popup = nullptr;
    const Rect bounds{0, 0, 20, 80};
    ASSERT_EQ(CreatePopupButtonControl(window, &bounds, nullptr, menu, &popup), noErr);
    ReleaseMenu(menu);
    EXPECT_EQ(GetControlPopupMenuHandle(popup), menu);
    EXPECT_EQ(CountMenuItems(GetControlPopupMenuHandle(popup)), 2) << "the popup's reference kept the menu";
    EXPECT_EQ(GetControl32BitValue(popup), 1);
    for (const SInt32 value : {0, 6}) {
        SetControl32BitValue(popup, value);
        EXPECT_EQ(GetControl32BitValue(popup), value);
    }

    MenuRef replacement = NewMenu({});
    const CFIndex menus = KVXHostGetLiveObjectCount(KVXMenuGetTypeID());
    SetControlPopupMenuHandle(popup, replacement);
    ReleaseMenu(replacement);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXMenuGetTypeID()), menus - 1) << "the old menu went";
    EXPECT_EQ(GetControlPopupMenuHandle(NewField(window)), nullptr);
    DisposeWindow(window);
}

}  // namespace
}  // namespace kvx::test
