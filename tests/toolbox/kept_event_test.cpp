// A key event that a handler keeps after the dispatch: it stays whole while
// later keys are sent, and goes when the handler lets it go.
#include <vector>

#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

// What a handler saw of each key, and the first event it chose to keep.
struct Keeper {
    EventRef kept = nullptr;
    std::vector<EventRef> seen;
    std::vector<UniChar> units;
    ControlRef field = nullptr;
    bool sendInside = false;
};

UniChar UnitOf(EventRef event) {
    UniChar unit = 0;
    EXPECT_EQ(GetEventParameter(event, kEventParamKeyUnicodes, typeUnicodeText, nullptr, sizeof unit, nullptr, &unit),
              noErr);
    return unit;
}

// Keeps the first key's event, notes every key, and passes it on to the field.
OSStatus KeepFirst(EventHandlerCallRef, EventRef event, void *userData) {
    auto *keeper = static_cast<Keeper *>(userData);
    keeper->seen.push_back(event);
    keeper->units.push_back(UnitOf(event));
    if (keeper->kept == nullptr) keeper->kept = RetainEvent(event);
    if (keeper->sendInside) {
        keeper->sendInside = false;
        EXPECT_EQ(KVXSendKeyToControl(keeper->field, kEventRawKeyDown, u'9', 0), noErr);
        EXPECT_EQ(UnitOf(event), u'3') << "a key sent from inside a handler leaves the outer event alone";
    }
    return eventNotHandledErr;
}

class KeptEvent : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        window = NewWindow();
        field = NewField(window, "");
        keeper.field = field;
        const EventTypeSpec keys[] = {{kEventClassKeyboard, kEventRawKeyDown}};
        ASSERT_EQ(InstallEventHandler(GetControlEventTarget(field), KeepFirst, 1, keys, &keeper, nullptr), noErr);
    }
    void TearDown() override {
        DisposeWindow(window);
        ToolboxTest::TearDown();
    }
    OSStatus Key(UniChar ch) { return KVXSendKeyToControl(field, kEventRawKeyDown, ch, 0); }

    WindowRef window = nullptr;
    ControlRef field = nullptr;
    Keeper keeper;
};

TEST_F(KeptEvent, StaysWholeWhileLaterKeysAreSentAndGoesWhenReleased) {
    const CFIndex events = KVXHostGetLiveObjectCount(KVXEventGetTypeID());

    EXPECT_EQ(Key(u'1'), noErr);
    ASSERT_NE(keeper.kept, nullptr);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXEventGetTypeID()), events + 1) << "the kept event is alive";

    EXPECT_EQ(Key(u'2'), noErr);
    keeper.sendInside = true;
    EXPECT_EQ(Key(u'3'), noErr);
    EXPECT_EQ(Key(u'4'), noErr);
    EXPECT_EQ(FieldText(field), "12934") << "every key after the kept one still reaches the field";
    EXPECT_EQ(keeper.units, (std::vector<UniChar>{u'1', u'2', u'3', u'9', u'4'}));
    ASSERT_EQ(keeper.seen.size(), 5u);
    for (size_t index = 1; index < keeper.seen.size(); ++index)
        EXPECT_NE(keeper.seen[index], keeper.kept) << "key " << index << " reused the kept event";
    EXPECT_NE(keeper.seen[2], keeper.seen[3]) << "the inner key had an event of its own";

    EXPECT_EQ(GetEventClass(keeper.kept), kEventClassKeyboard);
    EXPECT_EQ(GetEventKind(keeper.kept), static_cast<UInt32>(kEventRawKeyDown));
    EXPECT_EQ(UnitOf(keeper.kept), u'1') << "the kept event still carries its own key";
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXEventGetTypeID()), events + 1) << "only the kept event is alive";

    ReleaseEvent(keeper.kept);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXEventGetTypeID()), events);
    EXPECT_EQ(Key(u'5'), noErr);
    EXPECT_EQ(FieldText(field), "129345");
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXEventGetTypeID()), events) << "a key nobody keeps leaves no event";
}

}  // namespace
}  // namespace kvx::test
