// What the toolbox tests share: a fixture that proves each test leaves no
// host object alive and gives it a window, makers of windows and controls,
// finding a control by its ID, and readers of a field's state.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

inline bool operator==(const Rect &a, const Rect &b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

inline void PrintTo(const Rect &r, std::ostream *out) {
    *out << "{" << r.top << ", " << r.left << ", " << r.bottom << ", " << r.right << "}";
}

namespace kvx::test {

class ToolboxTest : public LiveObjectCheck {
protected:
    void SetUp() override {
        LiveObjectCheck::SetUp();
        window = NewWindow();
    }
    void TearDown() override {
        DisposeWindow(window);
        LiveObjectCheck::TearDown();
    }

    static WindowRef NewWindow(Rect content = Rect{0, 0, 200, 300}) {
        WindowRef window = nullptr;
        EXPECT_EQ(CreateNewWindow(kDocumentWindowClass, 0, &content, &window), noErr);
        return window;
    }

    static ControlRef NewPane(WindowRef window, Rect bounds, SInt32 id = 0) {
        ControlRef pane = nullptr;
        EXPECT_EQ(CreateUserPaneControl(window, &bounds, 0, &pane), noErr);
        const ControlID controlID{'kvx ', id};
        SetControlID(pane, &controlID);
        return pane;
    }

    static ControlRef NewField(WindowRef window, std::string_view text = "") {
        const Rect bounds{10, 10, 30, 100};
        ControlRef field = nullptr;
        EXPECT_EQ(CreateEditUnicodeTextControl(window, &bounds, MakeString(text).get(), false, nullptr, &field), noErr);
        return field;
    }

    static ControlRef Find(WindowRef window, SInt32 id, OSType signature = 'kvx ') {
        const ControlID controlID{signature, id};
        ControlRef found = nullptr;
        return GetControlByID(window, &controlID, &found) == noErr ? found : nullptr;
    }

    static std::string FieldText(ControlRef field) {
        CFStringRef text = nullptr;
        EXPECT_EQ(GetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr), noErr);
        CFHolder<CFStringRef> held(text);
        return ToUTF8(text);
    }

    static std::pair<int, int> Selection(ControlRef field) {
        ControlEditTextSelectionRec selection{-1, -1};
        EXPECT_EQ(GetControlData(field, 0, kControlEditTextSelectionTag, sizeof selection, &selection, nullptr), noErr);
        return {selection.selStart, selection.selEnd};
    }

    static void Select(ControlRef field, SInt16 start, SInt16 end) {
        const ControlEditTextSelectionRec selection{start, end};
        EXPECT_EQ(SetControlData(field, 0, kControlEditTextSelectionTag, sizeof selection, &selection), noErr);
    }

    WindowRef window = nullptr;
};

}  // namespace kvx::test
