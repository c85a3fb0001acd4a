// Edit fields: their text and selection as control data, and the keys that
// they perform themselves.
#include <vector>

#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

class EditField : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        window = NewWindow();
        field = NewField(window, "hello");
    }
    void TearDown() override {
        DisposeWindow(window);
        ToolboxTest::TearDown();
    }
    OSStatus Key(UniChar ch) { return KVXSendKeyToControl(field, kEventRawKeyDown, ch, 0); }

    WindowRef window = nullptr;
    ControlRef field = nullptr;
};

TEST_F(EditField, KeysEditTheTextAndMoveTheCaret) {
    EXPECT_EQ(Selection(field), std::make_pair(5, 5)) << "a new field has its caret at the end";
    const struct {
        SInt16 start, end;
        std::u16string keys;
        OSStatus status;  // of the last key
        const char *text;
        std::pair<int, int> selection;
    } cases[] = {
        {1, 1, u"X", noErr, "hXello", {2, 2}},
        {2, 5, u"é", noErr, "heé", {3, 3}},
        {0, 0, u"\b", noErr, "hello", {0, 0}},
        {0, 0, u"\x7F", noErr, "ello", {0, 0}},
        {5, 5, u"\x7F", noErr, "hello", {5, 5}},
        {5, 5, u"\b", noErr, "hell", {4, 4}},
        {1, 2, u"\b", noErr, "hllo", {1, 1}},
        {0, 1, u"\x7F", noErr, "ello", {0, 0}},
        {1, 3, u"\x1C", noErr, "hello", {1, 1}},
        {1, 3, u"\x1C\x1C\x1C", noErr, "hello", {0, 0}},
        {1, 3, u"\x1D", noErr, "hello", {3, 3}},
        {1, 3, {kEndCharCode, kRightArrowCharCode}, noErr, "hello", {5, 5}},
        {2, 2, u"\x1E", noErr, "hello", {0, 0}},
        {2, 2, u"\x1F", noErr, "hello", {5, 5}},
        {2, 2, {kHomeCharCode}, noErr, "hello", {0, 0}},
        {-3, 99, u"", noErr, "hello", {0, 5}},
        {4, 2, u"", noErr, "hello", {2, 4}},
    };
    for (const auto &c : cases) {
        const auto hello = MakeString("hello");
        const CFStringRef text = hello.get();
        SetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text);
        Select(field, c.start, c.end);
        OSStatus status = noErr;
        for (const char16_t key : c.keys) status = Key(key);
        EXPECT_EQ(status, c.status) << c.text;
        EXPECT_EQ(FieldText(field), c.text);
        EXPECT_EQ(Selection(field), c.selection) << c.text;
    }
    Select(field, 1, 3);
    for (const UniChar key : std::initializer_list<UniChar>{kTabCharCode, kReturnCharCode, kEnterCharCode, kEscapeCharCode, 0x02}) {
        EXPECT_EQ(Key(key), eventNotHandledErr) << "key " << key;
        EXPECT_EQ(FieldText(field), "hello");
        EXPECT_EQ(Selection(field), std::make_pair(1, 3));
    }
    DisableControl(field);
    EXPECT_EQ(Key(u'x'), kKVXControlDisabledErr);
    EXPECT_EQ(FieldText(field), "hello");
    EnableControl(field);
    EXPECT_EQ(Key(u'x'), noErr);
    EXPECT_EQ(FieldText(field), "hxlo");
}

struct KeySeen {
    unsigned char macRoman = 0;
    UniChar unit = 0;
    UInt32 modifiers = 0;
};

// Keeps the key's parameters and consumes the key.
OSStatus CaptureKey(EventHandlerCallRef, EventRef event, void *userData) {
    KeySeen key;
    EventParamType type = 0;
    ByteCount size = 0;
    EXPECT_EQ(GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, &type, 1, &size, &key.macRoman), noErr);
    EXPECT_EQ(type, static_cast<EventParamType>(typeChar));
    EXPECT_EQ(size, 1u);
    GetEventParameter(event, kEventParamKeyUnicodes, typeUnicodeText, nullptr, sizeof key.unit, nullptr, &key.unit);
    GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof key.modifiers, nullptr,
                      &key.modifiers);
    EXPECT_EQ(GetEventParameter(event, kEventParamKeyMacCharCodes, typeUInt32, nullptr, 1, nullptr, &key.macRoman),
              eventParameterNotFoundErr);
    static_cast<std::vector<KeySeen> *>(userData)->push_back(key);
    return noErr;
}

TEST_F(EditField, KeysCarryTheirMacRomanByte) {
    std::vector<KeySeen> seen;
    const EventTypeSpec keys[] = {{kEventClassKeyboard, kEventRawKeyDown}};
    InstallEventHandler(GetControlEventTarget(field), CaptureKey, 1, keys, &seen, nullptr);
    for (const UniChar ch : {u'A', u'7', u'é', u'ж'}) KVXSendKeyToControl(field, kEventRawKeyDown, ch, 0x100);

    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].macRoman, 'A');
    EXPECT_EQ(seen[1].macRoman, '7');
    EXPECT_EQ(seen[2].macRoman, 0x8E);
    EXPECT_EQ(seen[3].macRoman, '?') << "Mac Roman has no Cyrillic";
    EXPECT_EQ(seen[3].unit, u'ж');
    EXPECT_EQ(seen[3].modifiers, 0x100u);
    EXPECT_EQ(FieldText(field), "hello") << "the handler consumed every key";
}

// Lets the field perform the key first, then passes the event on.
OSStatus PerformFirst(EventHandlerCallRef callRef, EventRef event, void *userData) {
    *static_cast<OSStatus *>(userData) = CallNextEventHandler(callRef, event);
    return eventNotHandledErr;
}

TEST_F(EditField, KeyPerformedThroughCallNextIsPerformedOnce) {
    OSStatus performed = eventNotHandledErr;
    const EventTypeSpec keys[] = {{kEventClassKeyboard, kEventRawKeyDown}};
    InstallEventHandler(GetControlEventTarget(field), PerformFirst, 1, keys, &performed, nullptr);
    EXPECT_EQ(Key(u'!'), eventNotHandledErr);
    EXPECT_EQ(performed, noErr);
    EXPECT_EQ(FieldText(field), "hello!");
}

TEST_F(EditField, TextIsCopiedInAndOutAndBadRequestsAreRefused) {
    CFMutableStringRef source = CFStringCreateMutable(nullptr, 0);
    CFStringAppendCString(source, "42", kCFStringEncodingUTF8);
    CFStringRef text = source;
    ASSERT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text), noErr);
    CFStringAppendCString(source, "7", kCFStringEncodingUTF8);
    CFRelease(source);
    EXPECT_EQ(FieldText(field), "42") << "the field kept its own copy";
    EXPECT_EQ(Selection(field), std::make_pair(2, 2));
    CFStringRef first = nullptr, second = nullptr;
    GetControlData(field, 0, kControlEditTextCFStringTag, sizeof first, &first, nullptr);
    GetControlData(field, 0, kControlEditTextCFStringTag, sizeof second, &second, nullptr);
    EXPECT_NE(first, second) << "each read hands out a new string";
    EXPECT_EQ(CFGetRetainCount(first), 1);
    CFRelease(first);
    CFRelease(second);

    text = nullptr;
    Size actual = 0;
    EXPECT_EQ(GetControlData(field, 0, kControlEditTextCFStringTag, 4, &text, &actual), errDataSizeMismatch);
    EXPECT_EQ(actual, static_cast<Size>(sizeof(CFStringRef))) << "the needed size is reported";
    EXPECT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, 4, &text), errDataSizeMismatch);
    ControlEditTextSelectionRec selection{};
    EXPECT_EQ(GetControlData(field, 0, kControlEditTextSelectionTag, 2, &selection, nullptr), errDataSizeMismatch);
    EXPECT_EQ(GetControlData(field, 0, 'what', sizeof text, &text, nullptr), errDataNotSupported);
    EXPECT_EQ(GetControlData(field, 1, kControlEditTextCFStringTag, sizeof text, &text, nullptr), errDataNotSupported);
    EXPECT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text), paramErr) << "null string";
    ControlRef pane = NewPane(window, Rect{0, 0, 10, 10});
    EXPECT_EQ(GetControlData(pane, 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr), errDataNotSupported);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(FieldText(field), "42");
}

}  // namespace
}  // namespace kvx::test
