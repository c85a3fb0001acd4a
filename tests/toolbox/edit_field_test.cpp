// Edit fields: their text and selection as control data, the keys that they
// perform themselves, the Mac Roman byte each key carries, and a key event
// that a handler keeps.
#include <utility>
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
    void SetText(std::string_view text) {
        const auto held = MakeString(text);
        const CFStringRef string = held.get();
        SetControlData(field, 0, kControlEditTextCFStringTag, sizeof string, &string);
    }

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
        {1, 1, u"\b", noErr, "ello", {0, 0}},
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
        SetText("hello");
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

TEST_F(EditField, TextIsCopiedInAndOutAndBadRequestsAreRefused) {
    CFMutableStringRef source = CFStringCreateMutableCopy(nullptr, 0, CFSTR("42"));
    CFStringRef text = source;
    ASSERT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text), noErr);
    CFStringAppend(source, CFSTR("7"));
    CFRelease(source);
    EXPECT_EQ(FieldText(field), "42") << "the field kept its own copy";
    EXPECT_EQ(Selection(field), std::make_pair(2, 2));

    text = nullptr;
    Size actual = 0;
    EXPECT_EQ(GetControlData(field, 0, kControlEditTextCFStringTag, 4, &text, &actual), errDataSizeMismatch);
    EXPECT_EQ(actual, static_cast<Size>(sizeof(CFStringRef))) << "the needed size is reported";
    EXPECT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, 4, &text), errDataSizeMismatch);
    ControlEditTextSelectionRec selection{};
    EXPECT_EQ(GetControlData(field, 0, kControlEditTextSelectionTag, 2, &selection, nullptr), errDataSizeMismatch);
    EXPECT_EQ(GetControlData(field, 0, 'what', sizeof text, &text, nullptr), errDataNotSupported);
    EXPECT_EQ(SetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text), paramErr) << "null string";
    ControlRef pane = NewPane(window, Rect{0, 0, 10, 10});
    EXPECT_EQ(GetControlData(pane, 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr), errDataNotSupported);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(FieldText(field), "42");
}

// Notes every key's parameters, keeps the first key's event and passes each
// key on to the field; once, it sends another key from inside the handler.
struct Watcher {
    ControlRef field = nullptr;
    bool sendInside = false;
    EventRef kept = nullptr;
    std::vector<EventRef> seen;
    std::u16string units;
    std::string macRoman;
};

UniChar UnitOf(EventRef event) {
    UniChar unit = 0;
    GetEventParameter(event, kEventParamKeyUnicodes, typeUnicodeText, nullptr, sizeof unit, nullptr, &unit);
    return unit;
}

OSStatus Watch(EventHandlerCallRef, EventRef event, void *userData) {
    auto *watcher = static_cast<Watcher *>(userData);
    watcher->seen.push_back(event);
    watcher->units.push_back(UnitOf(event));
    char byte = 0;
    ByteCount size = 0;
    EXPECT_EQ(GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, 1, &size, &byte), noErr);
    EXPECT_EQ(size, 1u);
    EXPECT_EQ(GetEventParameter(event, kEventParamKeyMacCharCodes, typeUInt32, nullptr, 1, nullptr, &byte), eventParameterNotFoundErr);
    watcher->macRoman.push_back(byte);
    UInt32 modifiers = 0;
    GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
    EXPECT_EQ(modifiers, 0x100u);
    if (watcher->kept == nullptr) watcher->kept = RetainEvent(event);
    if (std::exchange(watcher->sendInside, false)) {
        EXPECT_EQ(KVXSendKeyToControl(watcher->field, kEventRawKeyDown, u'9', 0x100), noErr);
        EXPECT_EQ(UnitOf(event), watcher->units[watcher->units.size() - 2]) << "an inner key leaves the outer event alone";
    }
    return eventNotHandledErr;
}

TEST_F(EditField, KeysCarryTheirMacRomanByteAndAKeptKeyEventStaysWholeUntilReleased) {
    const CFIndex events = KVXHostGetLiveObjectCount(KVXEventGetTypeID());
    Watcher watcher;
    watcher.field = field;
    const EventTypeSpec keys[] = {{kEventClassKeyboard, kEventRawKeyDown}};
    InstallEventHandler(GetControlEventTarget(field), Watch, 1, keys, &watcher, nullptr);
    SetText("");
    for (const UniChar key : {u'1', u'\u00E9', u'\u0436', u'A'}) {
        watcher.sendInside = key == u'\u0436';
        EXPECT_EQ(KVXSendKeyToControl(field, kEventRawKeyDown, key, 0x100), noErr);
    }
    EXPECT_EQ(FieldText(field), "1\xC3\xA9" "9\xD0\xB6" "A") << "every key after the kept one still reaches the field";
    EXPECT_EQ(watcher.units, u"1\u00E9\u0436" "9A");
    EXPECT_EQ(watcher.macRoman, "1\x8E?9A") << "Mac Roman has no Cyrillic";
    ASSERT_EQ(watcher.seen.size(), 5u);
    for (size_t index = 1; index < watcher.seen.size(); ++index)
        EXPECT_NE(watcher.seen[index], watcher.kept) << "key " << index << " reused the kept event";
    EXPECT_NE(watcher.seen[2], watcher.seen[3]) << "the inner key had an event of its own";
    EXPECT_EQ(UnitOf(watcher.kept), u'1') << "the kept event still carries its own key";
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXEventGetTypeID()), events + 1) << "only the kept event is alive";
    ReleaseEvent(watcher.kept);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXEventGetTypeID()), events);
}

}  // namespace
}  // namespace kvx::test
