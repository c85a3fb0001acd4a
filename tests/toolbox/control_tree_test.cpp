// Windows and the tree of their controls: search, embedding, bounds and
// disposal.
#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

Rect BoundsOf(ControlRef control) {
    Rect bounds{};
    GetControlBounds(control, &bounds);
    return bounds;
}

using ControlTree = ToolboxTest;

TEST_F(ControlTree, GetControlByIDSearchesEmbeddedControls) {
    WindowRef window = NewWindow();
    ControlRef outer = NewPane(window, Rect{0, 0, 100, 100}, 1);
    ControlRef inner = NewPane(window, Rect{10, 10, 90, 90}, 2);
    ControlRef field = NewField(window);
    const ControlID fieldID{'kvx ', 6}, missing{'kvx ', 9}, otherSignature{'appl', 6};
    SetControlID(field, &fieldID);
    EmbedControl(inner, outer);
    EmbedControl(field, inner);

    ControlRef found = nullptr;
    EXPECT_EQ(GetControlByID(window, &fieldID, &found), noErr);
    EXPECT_EQ(found, field);
    EXPECT_NE(GetControlByID(window, &missing, &found), noErr);
    EXPECT_EQ(found, nullptr);
    EXPECT_NE(GetControlByID(window, &otherSignature, &found), noErr);
    DisposeWindow(window);
}

TEST_F(ControlTree, EmbedControlMovesASubtreeIntoAnotherWindow) {
    WindowRef source = NewWindow();
    WindowRef destination = NewWindow();
    ControlRef container = NewPane(source, Rect{5, 5, 50, 50}, 1);
    ControlRef field = NewField(source);
    EmbedControl(field, container);
    ControlRef pane = NewPane(destination, Rect{100, 100, 200, 200});

    ASSERT_EQ(EmbedControl(container, pane), noErr);
    EXPECT_EQ(GetControlOwner(container), destination);
    EXPECT_EQ(GetControlOwner(field), destination);
    EXPECT_EQ(BoundsOf(field), (Rect{10, 10, 30, 100})) << "bounds are kept as numbers";
    ControlRef found = nullptr;
    const ControlID containerID{'kvx ', 1};
    EXPECT_NE(GetControlByID(source, &containerID, &found), noErr);
    EXPECT_EQ(GetControlByID(destination, &containerID, &found), noErr);

    const CFIndex controls = KVXHostGetLiveObjectCount(KVXControlGetTypeID());
    DisposeWindow(source);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXControlGetTypeID()), controls - 1) << "only the source's root went";
    EXPECT_EQ(FieldText(field), "");
    DisposeWindow(destination);
}

TEST_F(ControlTree, EmbedControlRefusesCyclesRootsAndNonContainers) {
    WindowRef window = NewWindow();
    ControlRef outer = NewPane(window, Rect{0, 0, 100, 100});
    ControlRef inner = NewPane(window, Rect{0, 0, 50, 50});
    ControlRef field = NewField(window);
    EmbedControl(inner, outer);
    ControlRef root = nullptr, parent = nullptr;
    GetRootControl(window, &root);
    EXPECT_EQ(BoundsOf(root), (Rect{0, 0, 200, 300})) << "the root covers the content in window coordinates";

    EXPECT_EQ(EmbedControl(outer, outer), paramErr);
    EXPECT_EQ(EmbedControl(outer, inner), paramErr);
    EXPECT_EQ(EmbedControl(root, outer), paramErr);
    EXPECT_EQ(EmbedControl(inner, field), paramErr);
    GetSuperControl(inner, &parent);
    EXPECT_EQ(parent, outer);
    GetSuperControl(outer, &parent);
    EXPECT_EQ(parent, root);
    DisposeWindow(window);
}

TEST_F(ControlTree, SetControlBoundsCarriesEmbeddedControlsAndSaturates) {
    WindowRef window = NewWindow();
    ControlRef outer = NewPane(window, Rect{10, 10, 100, 100});
    ControlRef inner = NewPane(window, Rect{20, 20, 60, 60});
    ControlRef field = NewField(window);
    EmbedControl(inner, outer);
    EmbedControl(field, inner);

    const Rect moved{30, 50, 150, 120}, farAway{32700, 32700, 32760, 32760};
    SetControlBounds(outer, &moved);
    EXPECT_EQ(BoundsOf(outer), moved);
    EXPECT_EQ(BoundsOf(inner), (Rect{40, 60, 80, 100}));
    EXPECT_EQ(BoundsOf(field), (Rect{30, 50, 50, 140}));
    SetControlBounds(outer, &farAway);
    EXPECT_EQ(BoundsOf(field), (Rect{32700, 32700, 32720, 32767})) << "saturated, not wrapped to negative";
    Rect r{0, -32760, 10, 32760};
    OffsetRect(&r, 20, -5);
    EXPECT_EQ(r, (Rect{-5, -32740, 5, 32767}));
    DisposeWindow(window);
}

OSStatus PassOn(EventHandlerCallRef, EventRef, void *) { return eventNotHandledErr; }

TEST_F(ControlTree, DisposingReleasesControlsMenusAndHandlersButNeverTheRoot) {
    const CFIndex controls = KVXHostGetLiveObjectCount(KVXControlGetTypeID());
    const CFIndex handlers = KVXHostGetLiveObjectCount(KVXEventHandlerGetTypeID());
    const CFIndex menus = KVXHostGetLiveObjectCount(KVXMenuGetTypeID());
    WindowRef window = NewWindow();
    ControlRef pane = NewPane(window, Rect{0, 0, 50, 50});
    ControlRef field = NewField(window);
    EmbedControl(field, pane);
    EmbedControl(NewField(window), NewPane(window, Rect{0, 0, 5, 5}));
    MenuRef menu = nullptr;
    CreateNewMenu(1, 0, &menu);
    ControlRef popup = nullptr, root = nullptr;
    const Rect bounds{0, 0, 20, 20};
    CreatePopupButtonControl(window, &bounds, nullptr, menu, &popup);
    ReleaseMenu(menu);
    const EventTypeSpec keys[] = {{kEventClassKeyboard, kEventRawKeyDown}};
    InstallEventHandler(GetControlEventTarget(field), PassOn, 1, keys, nullptr, nullptr);
    InstallEventHandler(GetWindowEventTarget(window), PassOn, 1, keys, nullptr, nullptr);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXControlGetTypeID()), controls + 6) << "root, 2 panes, 2 fields, popup";

    DisposeControl(pane);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXControlGetTypeID()), controls + 4) << "a control takes its subtree";
    GetRootControl(window, &root);
    DisposeControl(root);
    UInt16 children = 99;
    EXPECT_EQ(CountSubControls(root, &children), noErr);
    EXPECT_EQ(children, 2) << "the root stays with its popup and the other pane";
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXControlGetTypeID()), controls + 4);

    DisposeWindow(window);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXControlGetTypeID()), controls);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXEventHandlerGetTypeID()), handlers);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXMenuGetTypeID()), menus);
}

}  // namespace
}  // namespace kvx::test
