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

OSStatus SendCommand(EventTargetRef target) {
    EventRef event = nullptr;
    CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event);
    const OSStatus status = SendEventToEventTarget(event, target);
    ReleaseEvent(event);
    return status;
}

class EventDispatch : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        window = NewWindow();
        target = GetWindowEventTarget(window);
    }
    void TearDown() override {
        DisposeWindow(window);
        ToolboxTest::TearDown();
    }
    WindowRef window = nullptr;
    EventTargetRef target = nullptr;
    std::vector<int> log;
};

TEST_F(EventDispatch, LatestHandlerFirstAndNotHandledPassesOn) {
    const EventTypeSpec keys[] = {{kEventClassKeyboard, kEventRawKeyDown}};
    Recorder keyOnly{9, noErr, &log}, first{1, noErr, &log}, second{2, eventNotHandledErr, &log},
        third{3, eventNotHandledErr, &log};
    Install(target, first);
    Install(target, second);
    Install(target, third);
    Install(target, keyOnly, keys);

    EXPECT_EQ(SendCommand(target), noErr);
    EXPECT_EQ(log, (std::vector<int>{3, 2, 1})) << "a handler of another event type is not called";
    log.clear();
    second.result = paramErr;
    EXPECT_EQ(SendCommand(target), paramErr) << "any status but -9874 ends the event";
    EXPECT_EQ(log, (std::vector<int>{3, 2}));
}

// Records the command that reached it and ends the event.
OSStatus TakeCommand(EventHandlerCallRef, EventRef event, void *userData) {
    EXPECT_EQ(GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof(HICommandExtended),
                                nullptr, userData),
              noErr);
    return noErr;
}

class CommandEvents : public EventDispatch {
protected:
    void SetUp() override {
        EventDispatch::SetUp();
        container = NewPane(window, Rect{0, 0, 100, 200}, 1);
        const Rect bounds{10, 10, 30, 100};
        CreatePopupButtonControl(window, &bounds, nullptr, nullptr, &popup);
        EmbedControl(popup, container);
    }
    ControlRef container = nullptr;
    ControlRef popup = nullptr;
};

TEST_F(CommandEvents, ClimbFromPopupToContainerAndStopWhereHandled) {
    Recorder atPopup{5, eventNotHandledErr, &log}, atContainer{1, eventNotHandledErr, &log}, atWindow{0, 7, &log};
    Install(GetControlEventTarget(popup), atPopup);
    Install(GetControlEventTarget(container), atContainer);
    Install(target, atWindow);
    EXPECT_EQ(KVXSendCommandFromControl(popup, 0), 7);
    EXPECT_EQ(log, (std::vector<int>{5, 1, 0})) << "no control ended it, so it reached the window";

    log.clear();
    HICommandExtended received{};
    InstallEventHandler(GetControlEventTarget(container), TakeCommand, 1, kCommandEvents, &received, nullptr);
    EXPECT_EQ(KVXSendCommandFromControl(popup, 'kvx5'), noErr);
    EXPECT_EQ(log, (std::vector<int>{5})) << "the window never saw a command that the container ended";
    EXPECT_EQ(received.attributes, static_cast<UInt32>(kHICommandFromControl));
    EXPECT_EQ(received.commandID, static_cast<UInt32>('kvx5'));
    EXPECT_EQ(received.control, popup);

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
