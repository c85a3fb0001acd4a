// Handler stacks, the order and passing of handlers, and how commands climb
// the containment hierarchy.
#include <vector>

#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

constexpr EventTypeSpec kCommandEvents[] = {{kEventClassCommand, kEventCommandProcess}};

// A handler that writes its tag to a shared log and returns a fixed status.
struct Recorder {
    int tag;
    OSStatus result;
    std::vector<int> *log;
    EventHandlerRef ref = nullptr;
};

OSStatus Record(EventHandlerCallRef, EventRef, void *userData) {
    auto *recorder = static_cast<Recorder *>(userData);
    recorder->log->push_back(recorder->tag);
    return recorder->result;
}

void Install(EventTargetRef target, Recorder &recorder, const EventTypeSpec *types = kCommandEvents) {
    ASSERT_EQ(InstallEventHandler(target, NewEventHandlerUPP(Record), 1, types, &recorder, &recorder.ref), noErr);
}

class CommandEvents : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        container = NewPane(window, Rect{0, 0, 100, 200}, 1);
        const Rect bounds{10, 10, 30, 100};
        CreatePopupButtonControl(window, &bounds, nullptr, nullptr, &popup);
        EmbedControl(popup, container);
    }
    ControlRef container = nullptr;
    ControlRef popup = nullptr;
    std::vector<int> log;
};

TEST_F(CommandEvents, LatestHandlerFirstNotHandledPassesOnAndRemovedHandlersAreNotCalled) {
    const EventTypeSpec keys[] = {{kEventClassKeyboard, kEventRawKeyDown}};
    Recorder keyOnly{9, noErr, &log}, first{1, noErr, &log}, second{2, eventNotHandledErr, &log}, third{3, eventNotHandledErr, &log},
        removed{4, noErr, &log};
    const EventTargetRef target = GetControlEventTarget(popup);
    Install(target, first);
    Install(target, second);
    Install(target, third);
    Install(target, keyOnly, keys);
    Install(target, removed);
    EXPECT_EQ(RemoveEventHandler(removed.ref), noErr);

    EXPECT_EQ(KVXSendCommandFromControl(popup, 0), noErr);
    EXPECT_EQ(log, (std::vector<int>{3, 2, 1})) << "a handler of another event type is not called";
    log.clear();
    second.result = paramErr;
    EXPECT_EQ(KVXSendCommandFromControl(popup, 0), paramErr) << "any status but -9874 ends the event";
    EXPECT_EQ(log, (std::vector<int>{3, 2}));
}

// A command that no control ends reaching the window, and the window's
// status coming back, are pane_test's (Relationships).
TEST_F(CommandEvents, ClimbFromPopupToContainerAndStopWhereHandled) {
    Recorder atPopup{5, eventNotHandledErr, &log}, atContainer{1, noErr, &log}, atWindow{0, 7, &log};
    Install(GetControlEventTarget(popup), atPopup);
    Install(GetControlEventTarget(container), atContainer);
    Install(GetWindowEventTarget(window), atWindow);
    EXPECT_EQ(KVXSendCommandFromControl(popup, 'kvx5'), noErr);
    EXPECT_EQ(log, (std::vector<int>{5, 1})) << "the window never saw a command that the container ended";

    log.clear();
    DisableControl(popup);
    EXPECT_EQ(KVXSendCommandFromControl(popup, 0), kKVXControlDisabledErr);
    EXPECT_TRUE(log.empty());
    EnableControl(popup);
    DisableControl(container);
    EXPECT_EQ(KVXSendCommandFromControl(popup, 0), noErr) << "only the control's own state counts";
}

}  // namespace
}  // namespace kvx::test
