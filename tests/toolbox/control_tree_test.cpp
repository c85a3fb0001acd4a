// Windows and the tree of their controls: search, embedding across windows
// and bounds that carry embedded controls.
#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

Rect BoundsOf(ControlRef control) {
    Rect bounds{};
    GetControlBounds(control, &bounds);
    return bounds;
}

using ControlTree = ToolboxTest;

// As the pane moves its container into the dialog's pane. That the moved
// controls are found there, outlive their first window and go with the
// dialog's, menus and handlers too, is what every scenario and pane_test rely
// on, the latter ending each test with no host object alive; this adds what
// they cannot see.
TEST_F(ControlTree, EmbeddingTakesASubtreeOutOfItsWindowsSearchAndNeverMakesACycle) {
    WindowRef source = NewWindow();
    ControlRef container = NewPane(source, Rect{5, 5, 50, 50}, 1);
    ControlRef inner = NewPane(source, Rect{10, 10, 40, 40}, 2);
    EmbedControl(inner, container);
    EXPECT_EQ(Find(source, 2), inner);
    EXPECT_EQ(Find(source, 2, 'appl'), nullptr);
    ASSERT_EQ(EmbedControl(container, NewPane(window, Rect{100, 100, 200, 200})), noErr);
    EXPECT_EQ(Find(source, 2), nullptr);
    EXPECT_EQ(Find(window, 2), inner);
    EXPECT_EQ(EmbedControl(container, inner), paramErr) << "no cycles";
    DisposeWindow(source);
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
