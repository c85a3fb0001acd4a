// What the pane does while it is shown: the code fields follow their choices
// through the deferred relationship timer, and take only what they should.
#include <syslog.h>

#include "pane_harness.hpp"

namespace kvx::test {
namespace {

constexpr const char *kTimerFailure = "Relationship timer creation failed! Probably lack of memory.";

CFIndex LiveTimers() { return KVXHostGetLiveObjectCount(CFRunLoopTimerGetTypeID()); }

size_t Occurrences(const std::string &text, const std::string &part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

using Relationships = PaneTest;

TEST_F(Relationships, CodeFieldsAreEnabledOnlyForTheirChoice) {
    ASSERT_NO_FATAL_FAILURE(Show());
    for (const SInt32 mode : {kPrivate, kNormal, kProof, kZEL, kPrivate, kZELP}) {
        Choose(kPrintModeID, mode);
        EXPECT_EQ(KVXRunLoopRunOnce(), 1);
        EXPECT_EQ(Enabled(kDINID), mode == kPrivate) << "print mode " << mode;
    }
    for (const SInt32 department : {kSwitchOn, kSwitchOff}) {
        Choose(kDepartmentID, department);
        EXPECT_EQ(KVXRunLoopRunOnce(), 1);
        EXPECT_EQ(Enabled(kDCID), department == kSwitchOn);
    }
}

TEST_F(Relationships, CommandsBeforeTheLoopTurnsShareOneTimerThatFiresOnce) {
    ASSERT_NO_FATAL_FAILURE(Show());
    const CFIndex timersBefore = LiveTimers();
    SetText(kDINID, "42");
    Choose(kPrintModeID, kProof);
    Choose(kDepartmentID, kSwitchOn);
    Choose(kPrintModeID, kPrivate);
    EXPECT_FALSE(Enabled(kDINID)) << "the rules wait for the run loop";
    EXPECT_EQ(LiveTimers(), timersBefore + 1);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1);
    EXPECT_EQ(KVXRunLoopRunOnce(), 0);
    EXPECT_TRUE(Enabled(kDINID));
    EXPECT_TRUE(Enabled(kDCID));

    // The same timer serves later commands; a field keeps its digits when disabled.
    Choose(kPrintModeID, kZELP);
    EXPECT_EQ(LiveTimers(), timersBefore + 1);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1);
    EXPECT_FALSE(Enabled(kDINID));
    EXPECT_EQ(Text(kDINID), "42");
}

TEST_F(Relationships, EveryCommandGoesOnToTheWindow) {
    ASSERT_NO_FATAL_FAILURE(Show());
    int reachedWindow = 0;
    const EventTypeSpec command{kEventClassCommand, kEventCommandProcess};
    EventHandlerRef handler = nullptr;
    const auto countCommand = [](EventHandlerCallRef, EventRef, void *count) -> OSStatus {
        ++*static_cast<int *>(count);
        return eventNotHandledErr;
    };
    ASSERT_EQ(InstallEventHandler(GetWindowEventTarget(DialogWindow()), countCommand, 1, &command, &reachedWindow,
                                  &handler),
              noErr);
    Choose(kPrintModeID, kPrivate);
    EXPECT_EQ(KVXSendCommandFromControl(Control(kZELOrientationID), 'abcd'), eventNotHandledErr);
    EXPECT_EQ(reachedWindow, 2);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1);
    RemoveEventHandler(handler);
}

TEST_F(Relationships, TerminateTakesDownTheTimerOnlyWhenOneWasMade) {
    ASSERT_NO_FATAL_FAILURE(Show());
    const CFIndex timersBefore = LiveTimers();
    EXPECT_EQ(Terminate(), noErr);
    EXPECT_EQ(LiveTimers(), timersBefore);

    ASSERT_EQ(Prologue(), noErr);
    ASSERT_EQ(Initialize(), noErr);
    Choose(kPrintModeID, kPrivate);  // armed, not yet fired
    EXPECT_EQ(LiveTimers(), timersBefore + 1);
    EXPECT_EQ(Terminate(), noErr);
    EXPECT_EQ(LiveTimers(), timersBefore);
    EXPECT_EQ(KVXRunLoopRunOnce(), 0) << "a terminated pane's timer must never fire";
}

TEST_F(Relationships, AFailedTimerIsLoggedAndTriedAgainOnTheNextCommand) {
    ASSERT_NO_FATAL_FAILURE(Show());
    openlog("test", LOG_PERROR, LOG_USER);
    KVXHostFailNext(kKVXFaultTimerCreate, 2);
    testing::internal::CaptureStderr();
    Choose(kPrintModeID, kPrivate);
    Choose(kPrintModeID, kPrivate);
    const std::string log = testing::internal::GetCapturedStderr();
    closelog();
    EXPECT_EQ(Occurrences(log, kTimerFailure), 2u) << log;
    EXPECT_EQ(KVXRunLoopRunOnce(), 0);
    EXPECT_FALSE(Enabled(kDINID)) << "the update of a failed command is lost";

    Choose(kPrintModeID, kPrivate);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1);
    EXPECT_TRUE(Enabled(kDINID));
}

TEST_F(Relationships, WithoutItsHandlersThePaneStillWorksAndEndsCleanly) {
    ASSERT_NO_FATAL_FAILURE(Open());
    SetTicketValue("PrintMode", "Private");
    ASSERT_EQ(Prologue(), noErr);
    KVXHostFailNext(kKVXFaultInstallEventHandler, -1);
    ASSERT_EQ(Initialize(), noErr);
    KVXHostClearFaults();
    EXPECT_TRUE(Enabled(kDINID)) << "the rules were still applied at initialize";
    Type(kDINID, u"a");
    EXPECT_EQ(Text(kDINID), "00000a") << "no constraint: the field is unconstrained";
    Choose(kPrintModeID, kNormal);
    EXPECT_EQ(KVXRunLoopRunOnce(), 0) << "no command handler, so no timer";
    EXPECT_TRUE(Enabled(kDINID));
}

class DigitTyping : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(Show());
        Choose(kPrintModeID, kPrivate);
        Choose(kDepartmentID, kSwitchOn);
        KVXRunLoopRunOnce();
        ASSERT_TRUE(Enabled(kDINID));
    }
};

TEST_F(DigitTyping, TakesUpToFiveDigitsAndEveryEditingKey) {
    const struct {
        const char *text;
        SInt16 start, end;
        std::u16string keys;
        const char *after;
        UInt32 kind = kEventRawKeyDown;
    } cases[] = {
        {"", 0, 0, u"1234567", "12345"},
        {"", 0, 0, u"9999999", "99999", kEventRawKeyRepeat},
        {"12345", 0, 0, u"9", "12345"},
        {"12345", 2, 2, u"9", "12345"},
        {"12345", 1, 3, u"9", "1945"},
        {"12345", 4, 5, u"9", "12349"},
        {"1234567", 7, 7, u"8", "1234567"},  // set overlong by the program
        {"", 0, 0, u"aZ -.~", ""},
        {"12345", 5, 5, u"\b", "1234"},
        {"12345", 0, 0, u"\x7F", "2345"},
        {"12345", 5, 5, u"\x1C\x1C\b", "1245"},  // left arrow, then backspace
        {"12345", 0, 0, u"\x1D\x7F", "1345"},    // right arrow, then delete
        {"", 0, 0, u"\u00E9", "\u00E9"},          // a high byte is not printable
        {"12345", 5, 5, u"\u00E9", "12345\u00E9"},
    };
    for (const SInt32 field : {kDINID, kDCID}) {
        for (const auto &c : cases) {
            SetText(field, c.text);
            Select(field, c.start, c.end);
            Type(field, c.keys, c.kind);
            EXPECT_EQ(Text(field), c.after) << "field " << field << " from \"" << c.text << '"';
        }
    }
    SetText(kDINID, "");
    for (const UInt32 modifier : {0x0100, 0x0200, 0x0800, 0x1000}) {  // command, shift, option, control
        KVXSendKeyToControl(Control(kDINID), kEventRawKeyDown, u'x', modifier);
        KVXSendKeyToControl(Control(kDINID), kEventRawKeyDown, u'4', modifier);
    }
    EXPECT_EQ(Text(kDINID), "4444");
    for (const char16_t key : {u'\t', u'\r', u'\x03', u'\x1B'})
        EXPECT_EQ(KVXSendKeyToControl(Control(kDINID), kEventRawKeyDown, key, 0), eventNotHandledErr)
            << "key " << int(key) << " was consumed";
}

}  // namespace
}  // namespace kvx::test
