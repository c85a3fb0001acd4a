// Edit fields: their text and selection as control data and the keys that
// they perform themselves. The Mac Roman byte a key carries to handlers is
// pane-digits.scenario's (é and € pass the pane's rules, ж comes as "?").
#include <utility>

#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

class EditField : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        field = NewField(window, "hello");
    }
    OSStatus Key(UniChar ch) { return KVXSendKeyToControl(field, kEventRawKeyDown, ch, 0); }
    ControlRef field = nullptr;
};

// Typing at the caret and over a selection, backspace and delete beside the
// caret, home, and the caret at the end of a text set are pane-digits.scenario's;
// a disabled field refusing keys is dialog.scenario's.
TEST_F(EditField, KeysEditTheTextAndMoveTheCaret) {
    EXPECT_EQ(Selection(field), std::make_pair(5, 5)) << "a new field has its caret at the end";
    const struct {
        SInt16 start, end;
        std::u16string keys;
        const char *text;
        std::pair<int, int> selection;
    } cases[] = {
        {0, 0, u"\b", "hello", {0, 0}},
        {5, 5, u"\x7F", "hello", {5, 5}},
        {1, 2, u"\b", "hllo", {1, 1}},
        {0, 1, u"\x7F", "ello", {0, 0}},
        {1, 3, u"\x1C", "hello", {1, 1}},
        {1, 3, u"\x1C\x1C\x1C", "hello", {0, 0}},
        {1, 3, u"\x1D", "hello", {3, 3}},
        {1, 3, {kEndCharCode, kRightArrowCharCode}, "hello", {5, 5}},
        {2, 2, u"\x1E", "hello", {0, 0}},
        {2, 2, u"\x1F", "hello", {5, 5}},
        {-3, 99, u"", "hello", {0, 5}},
        {4, 2, u"", "hello", {2, 4}},
    };
    for (const auto &c : cases) {
        const CFStringRef hello = CFSTR("hello");
        SetControlData(field, 0, kControlEditTextCFStringTag, sizeof hello, &hello);
        Select(field, c.start, c.end);
        for (const char16_t key : c.keys) EXPECT_EQ(Key(key), noErr) << c.text;
        EXPECT_EQ(FieldText(field), c.text);
        EXPECT_EQ(Selection(field), c.selection) << c.text;
    }
    Select(field, 1, 3);
    for (const UniChar key : std::initializer_list<UniChar>{kTabCharCode, kReturnCharCode, kEnterCharCode, kEscapeCharCode, 0x02}) {
        EXPECT_EQ(Key(key), eventNotHandledErr) << "key " << key;
        EXPECT_EQ(FieldText(field), "hello");
        EXPECT_EQ(Selection(field), std::make_pair(1, 3));
    }
}

TEST_F(EditField, TextIsCopiedInAndOutAndBadRequestsAreRefused) {
    CFMutableStringRef source = CFStringCreateMutableCopy(nullptr, 0, CFSTR("42"));
    CFStringRef text = source;
    ASSERT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text), noErr);
    CFStringAppend(source, CFSTR("7"));
    CFRelease(source);
    EXPECT_EQ(FieldText(field), "42") << "the field kept its own copy";

    // The size of a string reference is checked: the 32-bit original's 4 is no pointer here.
    text = nullptr;
    EXPECT_EQ(GetControlData(field, 0, kControlEditTextCFStringTag, 4, &text, nullptr), errDataSizeMismatch);
    EXPECT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, 4, &text), errDataSizeMismatch);
    EXPECT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text), paramErr) << "null string";
    EXPECT_EQ(GetControlData(NewPane(window, Rect{0, 0, 10, 10}), 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr), errDataNotSupported);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(FieldText(field), "42");
}

}  // namespace
}  // namespace kvx::test
