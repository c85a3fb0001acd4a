// Windows and the tree of their controls: search, embedding across windows,
// bounds that carry embedded controls, and disposal of everything a window
// holds.
#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

Rect BoundsOf(ControlRef control) {
    Rect bounds{};
    GetControlBounds(control, &bounds);
    return bounds;
}

OSStatus PassOn(EventHandlerCallRef, EventRef, void *) { return eventNotHandledErr; }

using ControlTree = ToolboxTest;

// As the pane moves its container into the dialog's pane.
TEST_F(ControlTree, EmbeddingMovesASubtreeIntoAnotherWindowWhereSearchFindsItAndDisposalTakesAll) {
    WindowRef source = NewWindow();
    WindowRef destination = window;
    ControlRef container = NewPane(source, Rect{5, 5, 50, 50}, 1);
    ControlRef inner = NewPane(source, Rect{10, 10, 40, 40}, 2);
    ControlRef field = NewField(source);
    const ControlID fieldID{'kvx ', 6};
    SetControlID(field, &fieldID);
    EmbedControl(inner, container);
    EmbedControl(field, inner);
    EXPECT_EQ(Find(source, 6), field) << "search reaches embedded controls";
    EXPECT_EQ(Find(source, 6, 'appl'), nullptr);

    ControlRef userPane = NewPane(destination, Rect{100, 100, 200, 200});
    ASSERT_EQ(EmbedControl(container, userPane), noErr);
    EXPECT_EQ(GetControlOwner(field), destination);
    EXPECT_EQ(BoundsOf(field), (Rect{10, 10, 30, 100})) << "bounds are kept as numbers";
    EXPECT_EQ(Find(source, 6), nullptr);
    EXPECT_EQ(Find(destination, 6), field);
    EXPECT_EQ(EmbedControl(container, inner), paramErr) << "no cycles";

    const CFIndex controls = KVXHostGetLiveObjectCount(KVXControlGetTypeID());
    DisposeWindow(source);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXControlGetTypeID()), controls - 1) << "only the source's root went";
    EXPECT_EQ(FieldText(field), "");

    // The rest goes with the destination: controls, a popup's menu, handlers.
    MenuRef menu = nullptr;
    CreateNewMenu(1, 0, &menu);
    ControlRef popup = nullptr;
    const Rect bounds{0, 0, 20, 20};
    CreatePopupButtonControl(destination, &bounds, nullptr, menu, &popup);
    ReleaseMenu(menu);
    const EventTypeSpec keys[] = {{kEventClassKeyboard, kEventRawKeyDown}};
    InstallEventHandler(GetControlEventTarget(field), PassOn, 1, keys, nullptr, nullptr);
    InstallEventHandler(GetWindowEventTarget(destination), PassOn, 1, keys, nullptr, nullptr);
}

TEST_F(ControlTree, SetControlBoundsCarriesEmbeddedControlsAndSaturates) {
    ControlRef outer = NewPane(window, Rect{10, 10, 100, 100});
    ControlRef inner = NewPane(window, Rect{20, 20, 60, 60});
    ControlRef field = NewField(window);
    EmbedControl(inner, outer);
    EmbedControl(field, inner);
    const Rect moved{30, 50, 150, 120}, farAway{32700, 32700, 32760, 32760};
    SetControlBounds(outer, &moved);
    EXPECT_EQ(BoundsOf(inner), (Rect{40, 60, 80, 100}));
    EXPECT_EQ(BoundsOf(field), (Rect{30, 50, 50, 140}));
    SetControlBounds(outer, &farAway);
    EXPECT_EQ(BoundsOf(field), (Rect{32700, 32700, 32720, 32767})) << "saturated, not wrapped to negative";
    Rect r{0, -32760, 10, 32760};
    OffsetRect(&r, 20, -5);
    EXPECT_EQ(r, (Rect{-5, -32740, 5, 32767}));
}

}  // namespace
}  // namespace kvx::test
