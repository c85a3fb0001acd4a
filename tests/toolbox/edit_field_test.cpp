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

TEST_F(EditField, TypingInsertsAtTheCaretOrReplacesTheSelection) {
    EXPECT_EQ(Selection(field), std::make_pair(5, 5)) << "a new field has its caret at the end";
    Select(field, 1, 1);
    EXPECT_EQ(Key(u'X'), noErr);
    EXPECT_EQ(FieldText(field), "hXello");
    EXPECT_EQ(Selection(field), std::make_pair(2, 2));

    Select(field, 2, 5);
    EXPECT_EQ(KVXSendKeyToControl(field, kEventRawKeyRepeat, u'é', 0), noErr);
    EXPECT_EQ(FieldText(field), "hXéo");
    EXPECT_EQ(Selection(field), std::make_pair(3, 3));
}

TEST_F(EditField, BackspaceAndDeleteAtBothEnds) {
    Select(field, 0, 0);
    Key(kBackspaceCharCode);
    EXPECT_EQ(FieldText(field), "hello");
    Key(kDeleteCharCode);
    EXPECT_EQ(FieldText(field), "ello");
    EXPECT_EQ(Selection(field), std::make_pair(0, 0));

    Select(field, 4, 4);
    Key(kDeleteCharCode);
    EXPECT_EQ(FieldText(field), "ello");
    Key(kBackspaceCharCode);
    EXPECT_EQ(FieldText(field), "ell");
    EXPECT_EQ(Selection(field), std::make_pair(3, 3));

    Select(field, 1, 2);
    Key(kBackspaceCharCode);
    EXPECT_EQ(FieldText(field), "el") << "a selection goes whole, not the unit before it";
    Select(field, 0, 1);
    Key(kDeleteCharCode);
    EXPECT_EQ(FieldText(field), "l");
}

TEST_F(EditField, ArrowsHomeAndEndMoveTheCaret) {
    Select(field, 1, 3);
    Key(kLeftArrowCharCode);
    EXPECT_EQ(Selection(field), std::make_pair(1, 1)) << "left collapses a selection to its start";
    Key(kLeftArrowCharCode);
    Key(kLeftArrowCharCode);
    EXPECT_EQ(Selection(field), std::make_pair(0, 0));

    Select(field, 1, 3);
    Key(kRightArrowCharCode);
    EXPECT_EQ(Selection(field), std::make_pair(3, 3)) << "right collapses a selection to its end";
    Key(kEndCharCode);
    Key(kRightArrowCharCode);
    EXPECT_EQ(Selection(field), std::make_pair(5, 5));

    Key(kUpArrowCharCode);
    EXPECT_EQ(Selection(field), std::make_pair(0, 0));
    Key(kDownArrowCharCode);
    EXPECT_EQ(Selection(field), std::make_pair(5, 5));
    Key(kHomeCharCode);
    EXPECT_EQ(Selection(field), std::make_pair(0, 0));
    EXPECT_EQ(FieldText(field), "hello");
}

TEST_F(EditField, ControlKeysChangeNothingAndAreNotTaken) {
    Select(field, 1, 3);
    const UniChar ignored[] = {kTabCharCode, kReturnCharCode, kEnterCharCode, kEscapeCharCode, 0x02};
    for (const UniChar key : ignored) {
        EXPECT_EQ(Key(key), eventNotHandledErr) << "key " << key;
        EXPECT_EQ(FieldText(field), "hello");
        EXPECT_EQ(Selection(field), std::make_pair(1, 3));
    }
}

// Keeps the key's parameters and consumes the key.
struct KeySeen {
    unsigned char macRoman = 0;
    UniChar unit = 0;
    UInt32 modifiers = 0;
};

OSStatus CaptureKey(EventHandlerCallRef, EventRef event, void *userData) {
    auto &seen = *static_cast<std::vector<KeySeen> *>(userData);
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
    seen.push_back(key);
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

TEST_F(EditField, DisabledFieldTakesNoKeys) {
    DisableControl(field);
    EXPECT_EQ(Key(u'x'), kKVXControlDisabledErr);
    EXPECT_EQ(FieldText(field), "hello");
    EnableControl(field);
    EXPECT_EQ(Key(u'x'), noErr);
    EXPECT_EQ(FieldText(field), "hellox");
}

TEST_F(EditField, TextIsCopiedInAndOut) {
    CFMutableStringRef source = CFStringCreateMutable(nullptr, 0);
    CFStringAppendCString(source, "42", kCFStringEncodingUTF8);
    CFStringRef sourceRef = source;
    ASSERT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, sizeof sourceRef, &sourceRef), noErr);
    CFStringAppendCString(source, "7", kCFStringEncodingUTF8);
    CFRelease(source);
    EXPECT_EQ(FieldText(field), "42") << "the field kept its own copy";
    EXPECT_EQ(Selection(field), std::make_pair(2, 2));

    CFStringRef first = nullptr, second = nullptr;
    Size actual = 0;
    GetControlData(field, 0, kControlEditTextCFStringTag, sizeof first, &first, &actual);
    GetControlData(field, 0, kControlEditTextCFStringTag, sizeof second, &second, nullptr);
    EXPECT_EQ(actual, static_cast<Size>(sizeof(CFStringRef)));
    EXPECT_NE(first, second) << "each read hands out a new string";
    EXPECT_EQ(CFGetRetainCount(first), 1);
    CFRelease(first);
    CFRelease(second);
}

TEST_F(EditField, DataOfTheWrongSizeKindOrTagIsRefused) {
    CFStringRef text = nullptr;
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
    EXPECT_EQ(FieldText(field), "hello");
}

TEST_F(EditField, SelectionIsClampedAndOrdered) {
    Select(field, -3, 99);
    EXPECT_EQ(Selection(field), std::make_pair(0, 5));
    Select(field, 4, 2);
    EXPECT_EQ(Selection(field), std::make_pair(2, 4));
}

TEST_F(EditField, InjectedFaultsFailTheReads) {
    CFStringRef text = nullptr;
    ControlEditTextSelectionRec selection{};
    KVXHostFailNext(kKVXFaultGetControlText, 1);
    EXPECT_EQ(GetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr), errDataNotSupported);
    EXPECT_EQ(text, nullptr);
    KVXHostFailNext(kKVXFaultGetControlSelection, 1);
    EXPECT_EQ(GetControlData(field, 0, kControlEditTextSelectionTag, sizeof selection, &selection, nullptr),
              errDataNotSupported);
    EXPECT_EQ(FieldText(field), "hello") << "a fault lasts for the calls asked for";
}

}  // namespace
}  // namespace kvx::test
