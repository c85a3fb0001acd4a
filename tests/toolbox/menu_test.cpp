// Menus and popups: items, check marks and who holds the menu.
#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

class Menus : public ToolboxTest {
protected:
    static MenuRef NewMenu(std::initializer_list<std::string_view> items) {
        MenuRef menu = nullptr;
        EXPECT_EQ(CreateNewMenu(1, 0, &menu), noErr);
        for (const auto item : items) {
            MenuItemIndex index = 0;
            EXPECT_EQ(AppendMenuItemTextWithCFString(menu, MakeString(item).get(), 0, 0, &index), noErr);
            EXPECT_EQ(index, CountMenuItems(menu));
        }
        return menu;
    }
    static UInt16 Mark(MenuRef menu, MenuItemIndex item) {
        UInt16 mark = 0xFFFF;
        GetItemMark(menu, item, &mark);
        return mark;
    }
};

TEST_F(Menus, CheckMarksFollowCheckMenuItemWithinTheMenu) {
    MenuRef menu = NewMenu({"Normal", "Proof", "Private"});
    CheckMenuItem(menu, 2, true);
    EXPECT_EQ(Mark(menu, 2), kMenuCheckMark);
    EXPECT_EQ(Mark(menu, 1), kMenuNoMark);
    CheckMenuItem(menu, 0, true);
    CheckMenuItem(menu, 4, true);
    EXPECT_EQ(Mark(menu, 4), kMenuNoMark) << "items past the end are ignored";
    EXPECT_EQ(Mark(menu, 3), kMenuNoMark);
    CheckMenuItem(menu, 2, false);
    EXPECT_EQ(Mark(menu, 2), kMenuNoMark);
    CFRelease(menu);
}

TEST_F(Menus, ItemTextIsCopiedAndABadIndexIsAnError) {
    MenuRef menu = NewMenu({"Portrait", "Landscape"});
    CFStringRef text = nullptr;
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 2, &text), noErr);
    EXPECT_EQ(ToUTF8(text), "Landscape");
    CFRelease(text);
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 0, &text), menuItemNotFoundErr);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 3, &text), menuItemNotFoundErr);
    KVXHostFailNext(kKVXFaultCopyMenuItemText, 1);
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 1, &text), menuItemNotFoundErr);
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 1, &text), noErr);
    CFRelease(text);
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
    SetControl32BitValue(popup, 0);
    EXPECT_EQ(GetControl32BitValue(popup), 0);
    SetControl32BitValue(popup, 6);
    EXPECT_EQ(GetControl32BitValue(popup), 6);

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
