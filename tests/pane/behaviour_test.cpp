// What the pane does while it is shown, where only the host's internals or
// an injected fault can tell: the relationship timer, the command's way to
// the window, keys with modifiers or repeats, and reads that fail. The
// behaviour a user sees is in tests/scenarios/pane-*.scenario.
#include <syslog.h>

#include "pane_harness.hpp"

namespace kvx::test {
namespace {

CFIndex LiveTimers() { return KVXHostGetLiveObjectCount(CFRunLoopTimerGetTypeID()); }

using Relationships = PaneTest;

TEST_F(Relationships, CommandsShareOneTimerThatFiresOnlyWhenTheLoopTurns) {
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
    const CFIndex timersBefore = LiveTimers();
    Choose(kPrintModeID, kProof);
    Choose(kDepartmentID, kSwitchOn);
    Choose(kPrintModeID, kPrivate);
    EXPECT_EQ(KVXSendCommandFromControl(Control(kZELOrientationID), 'abcd'), eventNotHandledErr);
    EXPECT_EQ(reachedWindow, 4) << "every command goes on to the window";
    EXPECT_FALSE(Enabled(kDINID)) << "the rules wait for the run loop";
    EXPECT_EQ(LiveTimers(), timersBefore + 1);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1);
    EXPECT_EQ(KVXRunLoopRunOnce(), 0);
    EXPECT_TRUE(Enabled(kDINID));
    EXPECT_TRUE(Enabled(kDCID));
    RemoveEventHandler(handler);

    Choose(kPrintModeID, kZELP);  // armed again, never fired
    EXPECT_EQ(LiveTimers(), timersBefore + 1);
    EXPECT_EQ(Terminate(), noErr);
    EXPECT_EQ(LiveTimers(), timersBefore) << "terminate takes the timer down";
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
    const std::string message = "Relationship timer creation failed! Probably lack of memory.";
    const size_t first = log.find(message);
    EXPECT_TRUE(first != std::string::npos && log.find(message, first + 1) != std::string::npos) << log;
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
}

using DigitKeys = PaneTest;

TEST_F(DigitKeys, OnlyTheCharacterCountsAndARepeatIsAKey) {
    ASSERT_NO_FATAL_FAILURE(Show());
    Choose(kPrintModeID, kPrivate);
    KVXRunLoopRunOnce();
    SetText(kDINID, "");
    for (const UInt32 modifier : {0x0100, 0x0200, 0x0800, 0x1000}) {  // command, shift, option, control
        KVXSendKeyToControl(Control(kDINID), kEventRawKeyDown, u'x', modifier);
        KVXSendKeyToControl(Control(kDINID), kEventRawKeyDown, u'4', modifier);
    }
    Type(kDINID, u"9x99", kEventRawKeyRepeat);
    EXPECT_EQ(Text(kDINID), "44449");
}

using FailedReads = PaneTest;

TEST_F(FailedReads, ChangeNothingAndHandOutNothing) {
    ASSERT_NO_FATAL_FAILURE(Show());
    SetControl32BitValue(Control(kPrintModeID), kPrivate);
    SetControl32BitValue(Control(kDepartmentID), kSwitchOn);
    SetText(kDINID, "12345");
    SetText(kDCID, "678");
    KVXHostFailNext(kKVXFaultGetControlText, 1);
    EXPECT_EQ(GetSummary().rows, (std::vector<std::pair<std::string, std::string>>{
                                     {"Print Mode", "Private (DIN)"}, {"Department Code", "00678"}}));
    KVXHostFailNext(kKVXFaultGetControlText, 1);
    ASSERT_EQ(SyncToTicket(), noErr);
    EXPECT_EQ(TicketValue("DINDigit1"), "<missing>") << "an unreadable digit writes no key";
    EXPECT_EQ(TicketValue("DINDigit2") + TicketValue("DCDigit1") + TicketValue("DCDigit5"), "208");
    KVXHostFailNext(kKVXFaultCopyMenuItemText, 1);
    EXPECT_EQ(GetSummary().status, menuItemNotFoundErr);

    // Positions outside the menus read as the first value; setting a popup
    // takes the check mark off the item it showed.
    for (const SInt32 stray : {0, 6, -1}) {
        for (const SInt32 id : {kPrintModeID, kDepartmentID, kZELOrientationID}) SetControl32BitValue(Control(id), stray);
        ASSERT_EQ(SyncToTicket(), noErr);
        EXPECT_EQ(TicketValue("PrintMode") + TicketValue("DeptCode") + TicketValue("ZELOrientation"),
                  "NormalFalsePortrait");
    }
    MenuRef menu = GetControlPopupMenuHandle(Control(kPrintModeID));
    SetControl32BitValue(Control(kPrintModeID), kPrivate);
    CheckMenuItem(menu, kPrivate, true);
    ASSERT_EQ(SyncFromTicket(), noErr);
    UInt16 mark = kMenuCheckMark;
    GetItemMark(menu, kPrivate, &mark);
    EXPECT_EQ(mark, kMenuNoMark);

    // Without a print-settings ticket neither direction changes anything.
    ASSERT_EQ(PMSessionSetDataInSession(Session(), CFSTR(kPDE_PMPrintSettingsRef), nullptr), noErr);
    SetControl32BitValue(Control(kPrintModeID), kPrivate);
    EXPECT_EQ(SyncToTicket(), kNoTicket);
    EXPECT_EQ(SyncFromTicket(), kNoTicket);
    EXPECT_EQ(Position(kPrintModeID), kPrivate);
    EXPECT_EQ(TicketValue("PrintMode"), "Normal");
    EXPECT_FALSE(Enabled(kDINID)) << "a failed sync applies no relationships";
}

}  // namespace
}  // namespace kvx::test
