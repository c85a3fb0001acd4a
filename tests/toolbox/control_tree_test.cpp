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

class ControlTree : public ToolboxTest {};

TEST_F(ControlTree, GetControlByIDSearchesEmbeddedControls) {
    WindowRef window = NewWindow();
    ControlRef outer = NewPane(window, Rect{0, 0, 100, 100}, 1);
    ControlRef inner = NewPane(window, Rect{10, 10, 90, 90}, 2);
    ControlRef field = NewField(window);
    const ControlID fieldID{'kvx ', 6};
    SetControlID(field, &fieldID);
    EmbedControl(inner, outer);
    EmbedControl(field, inner);

    ControlRef found = nullptr;
    EXPECT_EQ(GetControlByID(window, &fieldID, &found), noErr);
    EXPECT_EQ(found, field);

    found = field;
    const ControlID missing{'kvx ', 9}, otherSignature{'appl', 6};
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
    ControlRef root = nullptr;
    GetRootControl(window, &root);

    EXPECT_EQ(EmbedControl(outer, outer), paramErr);
    EXPECT_EQ(EmbedControl(outer, inner), paramErr);
    EXPECT_EQ(EmbedControl(root, outer), paramErr);
    EXPECT_EQ(EmbedControl(inner, field), paramErr);
    ControlRef parent = nullptr;
    GetSuperControl(inner, &parent);
    EXPECT_EQ(parent, outer);
    GetSuperControl(outer, &parent);
    EXPECT_EQ(parent, root);
    DisposeWindow(window);
}

TEST_F(ControlTree, SetControlBoundsCarriesEmbeddedControls) {
    WindowRef window = NewWindow();
    ControlRef outer = NewPane(window, Rect{10, 10, 100, 100});
    ControlRef inner = NewPane(window, Rect{20, 20, 60, 60});
    ControlRef field = NewField(window);
    EmbedControl(inner, outer);
    EmbedControl(field, inner);

    const Rect moved{30, 50, 150, 120};
    SetControlBounds(outer, &moved);
    EXPECT_EQ(BoundsOf(outer), moved);
    EXPECT_EQ(BoundsOf(inner), (Rect{40, 60, 80, 100}));
    EXPECT_EQ(BoundsOf(field), (Rect{30, 50, 50, 140}));

    const Rect farAway{32700, 32700, 32760, 32760};
    SetControlBounds(outer, &farAway);
    EXPECT_EQ(BoundsOf(field), (Rect{32700, 32700, 32720, 32767})) << "saturated, not wrapped to negative";
    DisposeWindow(window);
}

TEST_F(ControlTree, OffsetRectSaturatesAtTheEdges) {
    Rect r{0, -32760, 10, 32760};
    OffsetRect(&r, 20, -5);
    EXPECT_EQ(r, (Rect{-5, -32740, 5, 32767}));
}

OSStatus PassOn(EventHandlerCallRef, EventRef, void *) { return eventNotHandledErr; }

TEST_F(ControlTree, DisposeWindowReleasesItsControlsMenusAndHandlers) {
    const CFIndex controls = KVXHostGetLiveObjectCount(KVXControlGetTypeID());
    const CFIndex handlers = KVXHostGetLiveObjectCount(KVXEventHandlerGetTypeID());
    const CFIndex menus = KVXHostGetLiveObjectCount(KVXMenuGetTypeID());
    WindowRef window = NewWindow();
    ControlRef pane = NewPane(window, Rect{0, 0, 50, 50});
    ControlRef field = NewField(window);
    EmbedControl(field, pane);
    MenuRef menu = nullptr;
    CreateNewMenu(1, 0, &menu);
    ControlRef popup = nullptr;
    const Rect bounds{0, 0, 20, 20};
    CreatePopupButtonControl(window, &bounds, nullptr, menu, &popup);
    ReleaseMenu(menu);
    const EventTypeSpec keys[] = {{kEventClassKeyboard, kEventRawKeyDown}};
    InstallEventHandler(GetControlEventTarget(field), PassOn, 1, keys, nullptr, nullptr);
    InstallEventHandler(GetWindowEventTarget(window), PassOn, 1, keys, nullptr, nullptr);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXControlGetTypeID()), controls + 4) << "the root, a pane, a field, a popup";

    DisposeWindow(window);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXControlGetTypeID()), controls);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXEventHandlerGetTypeID()), handlers);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXMenuGetTypeID()), menus);
}

TEST_F(ControlTree, DisposeControlTakesItsSubtreeButNeverTheRoot) {
    WindowRef window = NewWindow();
    ControlRef pane = NewPane(window, Rect{0, 0, 50, 50});
    EmbedControl(NewField(window), pane);
    ControlRef root = nullptr;
    GetRootControl(window, &root);
    const CFIndex controls = KVXHostGetLiveObjectCount(KVXControlGetTypeID());
    DisposeControl(pane);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXControlGetTypeID()), controls - 2);
    DisposeControl(root);
    UInt16 children = 99;
    EXPECT_EQ(CountSubControls(root, &children), noErr);
    EXPECT_EQ(children, 0);
    DisposeWindow(window);
}

TEST_F(ControlTree, WindowBoundsTitleAndKinds) {
    WindowRef window = NewWindow(Rect{100, 200, 350, 600});
    Rect content{};
    EXPECT_EQ(GetWindowBounds(window, kWindowContentRgn, &content), noErr);
    EXPECT_EQ(content, (Rect{100, 200, 350, 600}));
    EXPECT_EQ(GetWindowBounds(window, 99, &content), paramErr);
    KVXHostFailNext(kKVXFaultGetWindowBounds, 1);
    EXPECT_EQ(GetWindowBounds(window, kWindowContentRgn, &content), errInvalidWindowRef);
    ControlRef root = nullptr;
    GetRootControl(window, &root);
    EXPECT_EQ(BoundsOf(root), (Rect{0, 0, 250, 400})) << "the root covers the content in window coordinates";

    SetWindowTitleWithCFString(window, CFSTR("Job Options"));
    CFStringRef title = nullptr;
    EXPECT_EQ(CopyWindowTitleAsCFString(window, &title), noErr);
    EXPECT_EQ(ToUTF8(title), "Job Options");
    CFRelease(title);
    KVXHostFailNext(kKVXFaultCopyWindowTitle, 1);
    EXPECT_NE(CopyWindowTitleAsCFString(window, &title), noErr);
    EXPECT_EQ(title, nullptr);

    ControlKind kind{};
    GetControlKind(NewField(window), &kind);
    EXPECT_EQ(kind.signature, static_cast<OSType>(kControlKindSignatureApple));
    EXPECT_EQ(kind.kind, static_cast<OSType>(kControlKindEditUnicodeText));
    GetControlKind(root, &kind);
    EXPECT_EQ(kind.kind, static_cast<OSType>(kControlKindUserPane));
    CFRelease(window);
}

}  // namespace
}  // namespace kvx::test
