// The pane where only an injected fault or the host's internals tell, driven
// through the dialog's own session, pane host and script runner: what
// Prologue reports, how the printer check opens and closes the PPD, the
// relationship timer, keys with modifiers, reads that fail, and the
// plug-in's table called directly for a missing record and for the
// container's place in panes of several sizes. What a user sees is in
// tests/scenarios. Every test ends with no host object left alive.
#include <gmock/gmock.h>
#include <syslog.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "live_object_check.hpp"
#include "loaded_plugin.hpp"
#include "session/controls/pane_controls.hpp"
#include "dialog/script/script_runner.hpp"

namespace kvx::test {
namespace {

using namespace kvx::dialog;
using ::testing::HasSubstr;
using Rows = std::vector<std::vector<std::string>>;

constexpr OSStatus kNoTicket = -30891;
constexpr OSStatus kNoMenuItem = -5620;
constexpr std::string_view kDeclined = "the pane is not shown for this printer";
const std::string kSamplePPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";

// A print session whose ticket starts with `values`, the pane shown in it as
// the dialog shows it, and a script runner over both.
class PaneTest : public LiveObjectCheck {
protected:
    void Start(std::initializer_list<std::pair<CFStringRef, CFStringRef>> values = {},
               const std::string &ppd = kSamplePPD) {
        runner_.reset();
        pane_.reset();
        session_.emplace(ppd);
        for (const auto &[key, value] : values) CFDictionarySetValue(session_->PPDDict(), key, value);
        if (onlySession_) return;
        pane_.emplace(KVX_PLUGINS_DIR, *session_);
        runner_.emplace(*session_, *pane_, std::nullopt, reports_);
    }
    void TearDown() override {
        runner_.reset();
        pane_.reset();
        session_.reset();
        LiveObjectCheck::TearDown();
    }
    // The one report of the script lines, if they make one.
    nlohmann::json Run(std::string_view lines) {
        reports_.str("");
        std::istringstream script{std::string(lines)};
        for (std::string line; std::getline(script, line);) runner_->RunLine(1, line);
        return nlohmann::json::parse(reports_.str(), nullptr, false);
    }
    ControlRef Control(std::string_view name) const {
        return session::FindPaneControl(pane_->DialogWindow(), *session::FindControlSpec(name));
    }
    // A user's click on a popup item, without the run loop's turn.
    void Choose(std::string_view name, SInt32 position) const {
        SetControl32BitValue(Control(name), position);
        EXPECT_EQ(KVXSendCommandFromControl(Control(name), 0), eventNotHandledErr);
    }
    bool Enabled(std::string_view name) const { return IsControlEnabled(Control(name)) != 0; }
    std::string TicketValue(CFStringRef key) const {
        const auto value = static_cast<CFStringRef>(CFDictionaryGetValue(session_->PPDDict(), key));
        return value != nullptr ? ToUTF8(value) : "<missing>";
    }

    bool onlySession_ = false;
    std::ostringstream reports_;
    std::optional<session::PrintSession> session_;
    std::optional<session::PaneHost> pane_;
    std::optional<ScriptRunner> runner_;
};

using Lifecycle = PaneTest;

TEST_F(Lifecycle, PrologueGivesTheTitleAndSizeOrDeclinesWhenItCannotReadItsWindow) {
    // Its title is tab_lifecycle_test's, the dialogs' tab label.
    Start();
    Rect bounds{};
    ASSERT_EQ(GetWindowBounds(pane_->DialogWindow(), kWindowContentRgn, &bounds), noErr);
    EXPECT_EQ(bounds.right - bounds.left, 460);
    EXPECT_EQ(bounds.bottom - bounds.top, 130);
    for (const KVXHostFault fault : {kKVXFaultGetWindowBounds, kKVXFaultCopyWindowTitle}) {
        KVXHostFailNext(fault, 1);
        Start();
        EXPECT_FALSE(pane_->IsShown());
        EXPECT_THAT(pane_->NotShownReason(), HasSubstr("Prologue failed with status -5600"));
        EXPECT_EQ(pane_->PaneTitle(), "");
    }
}

// The interface file's container spans 0,0 to 130,460 of its window: it is
// centred in a larger pane's excess, never shifted back. A record that
// Prologue never made is refused by every later callback, and a first sync
// that fails leaves the pane wired all the same.
TEST_F(Lifecycle, TheTableRefusesAMissingRecordPlacesTheContainerAndSurvivesAFailedFirstSync) {
    onlySession_ = true;
    Start();
    LoadedPlugIn plugIn;
    ASSERT_NE(plugIn.pde(), nullptr) << plugIn.errors();
    const PlugInIntfVTable &table = *plugIn.pde()->vtable;
    const PMPrintSession session = session_->SessionRef();
    PMPDEFlags flags = 0xFFFFFFFF;
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    EXPECT_EQ(table.Initialize(nullptr, &flags, nullptr, nullptr, session), memFullErr);
    EXPECT_EQ(flags, 0xFFFFFFFFu);
    EXPECT_EQ(table.Sync(nullptr, session, true), memFullErr);
    EXPECT_EQ(table.Sync(nullptr, session, false), memFullErr);
    EXPECT_EQ(table.GetSummaryText(nullptr, &titles, &values), memFullErr);
    EXPECT_EQ(titles, nullptr);
    EXPECT_EQ(table.Open(nullptr) + table.Close(nullptr) + table.Terminate(nullptr, noErr), noErr);

    const auto show = [&](Rect paneBounds, session::WindowHolder &window, ControlRef &userPane) {
        const Rect content{100, 100, 700, 900};
        EXPECT_EQ(CreateNewWindow(kDocumentWindowClass, 0, &content, window.out()), noErr);
        EXPECT_EQ(CreateUserPaneControl(window.get(), &paneBounds, 0, &userPane), noErr);
        PMPDEContext context = nullptr;
        OSType creator = 0;
        CFStringRef kind = nullptr;
        CFHolder<CFStringRef> title;
        UInt32 width = 0, height = 0;
        EXPECT_EQ(table.Prologue(&context, &creator, &kind, title.out(), &width, &height), noErr);
        return std::pair(context, table.Initialize(context, &flags, nullptr, userPane, session));
    };
    const struct {
        Rect pane, container;
    } cases[] = {
        {{20, 30, 150, 490}, {20, 30, 150, 490}},
        {{10, 40, 400, 700}, {10, 40, 140, 500}},
        {{5, 5, 105, 364}, {20, 55, 150, 515}},
        {{0, 0, 130, 561}, {0, 0, 130, 460}},
    };
    for (const auto &c : cases) {
        session::WindowHolder window;
        ControlRef userPane = nullptr;
        const auto [context, status] = show(c.pane, window, userPane);
        ASSERT_EQ(status, noErr);
        const ControlID containerID{session::kPaneControlSignature, 1};
        ControlRef container = nullptr;
        ControlRef super = nullptr;
        ASSERT_EQ(GetControlByID(window.get(), &containerID, &container), noErr);
        EXPECT_EQ(GetSuperControl(container, &super), noErr);
        EXPECT_EQ(super, userPane);
        Rect got{};
        GetControlBounds(container, &got);
        EXPECT_EQ(std::tuple(got.top, got.left, got.bottom, got.right),
                  std::tuple(c.container.top, c.container.left, c.container.bottom, c.container.right));
        EXPECT_EQ(table.Terminate(context, noErr), noErr);
    }

    ASSERT_EQ(PMSessionSetDataInSession(session, CFSTR(kPDE_PMPrintSettingsRef), nullptr), noErr);
    session::WindowHolder window;
    ControlRef userPane = nullptr;
    const auto [context, status] = show({20, 20, 220, 520}, window, userPane);
    EXPECT_EQ(status, kNoTicket);
    EXPECT_EQ(flags, 0u);
    const auto control = [&](std::string_view name) { return session::FindPaneControl(window.get(), *session::FindControlSpec(name)); };
    EXPECT_FALSE(IsControlEnabled(control("din"))) << "relationships applied";
    SetControl32BitValue(control("print-mode"), 3);
    KVXSendCommandFromControl(control("print-mode"), 0);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1) << "command handler attached";
    for (const char key : std::string_view("12a345678")) KVXSendKeyToControl(control("din"), kEventRawKeyDown, key, 0);
    EXPECT_EQ(session::CopyFieldText(control("din")), "12345") << "constraints attached";
    // Only a number in the session can name a ticket.
    for (CFTypeRef entry : {CFTypeRef(CFSTR("1")), CFTypeRef(kCFBooleanTrue)}) {
        ASSERT_EQ(PMSessionSetDataInSession(session, CFSTR(kPDE_PMPrintSettingsRef), entry), noErr);
        EXPECT_EQ(table.Sync(context, session, true), kNoTicket);
        EXPECT_EQ(table.Sync(context, session, false), kNoTicket);
    }
    EXPECT_EQ(table.Terminate(context, noErr), noErr);
}

using PrinterCheck = PaneTest;

// Another model's PPD is dialog.scenario's and the printer check fuzzer's
// (which also balances opens and closes), the model's echo hostile.scenario's.
TEST_F(PrinterCheck, ThePPDIsOpenedAndClosedOnceAndEveryFailureDeclines) {
    // Why no pane is shown ("" when it is) and the PPDs opened and closed meanwhile.
    const auto check = [this](const std::string &ppd, KVXHostFault fault, bool printerInfo = true) {
        onlySession_ = true;
        Start({}, ppd);
        if (!printerInfo) PMSessionSetDataInSession(session_->SessionRef(), CFSTR(kPDE_PMPrinterInfoRef), nullptr);
        const CFIndex opened = KVXPPDGetOpenCount();
        const CFIndex closed = KVXPPDGetCloseCount();
        if (fault != kKVXFaultCount) KVXHostFailNext(fault, 1);
        pane_.emplace(KVX_PLUGINS_DIR, *session_);
        const bool declined = pane_->NotShownReason().find(kDeclined) != std::string::npos;
        return std::tuple(pane_->IsShown() || declined, pane_->IsShown(), KVXPPDGetOpenCount() - opened,
                          KVXPPDGetCloseCount() - closed);
    };
    EXPECT_EQ(check(kSamplePPD, kKVXFaultCount, false), std::tuple(true, false, 0, 0));
    EXPECT_EQ(check(kSamplePPD, kKVXFaultPPDOpen), std::tuple(true, false, 0, 0));
    EXPECT_EQ(check(kSamplePPD, kKVXFaultPPDClose), std::tuple(true, false, 1, 1));
    EXPECT_EQ(check(kSamplePPD, kKVXFaultGetInvocationString), std::tuple(true, false, 1, 1))
        << "an unread name never matches";
    EXPECT_EQ(check(kSamplePPD, kKVXFaultCount), std::tuple(true, true, 1, 1));
}

using Relationships = PaneTest;

TEST_F(Relationships, CommandsShareOneTimerThatFiresOnlyWhenTheLoopTurnsAndGoOnToTheWindow) {
    Start();
    int reachedWindow = 0;
    const EventTypeSpec command{kEventClassCommand, kEventCommandProcess};
    EventHandlerRef handler = nullptr;
    const auto count = [](EventHandlerCallRef, EventRef, void *counter) -> OSStatus {
        ++*static_cast<int *>(counter);
        return eventNotHandledErr;
    };
    ASSERT_EQ(InstallEventHandler(GetWindowEventTarget(pane_->DialogWindow()), count, 1, &command, &reachedWindow,
                                  &handler),
              noErr);
    const auto liveTimers = [] { return KVXHostGetLiveObjectCount(CFRunLoopTimerGetTypeID()); };
    const CFIndex timers = liveTimers();
    Choose("print-mode", 2);
    Choose("department", 2);
    Choose("print-mode", 3);
    EXPECT_EQ(KVXSendCommandFromControl(Control("orientation"), 'abcd'), eventNotHandledErr);
    EXPECT_EQ(reachedWindow, 4);
    EXPECT_FALSE(Enabled("din")) << "the rules wait for the run loop";
    EXPECT_EQ(liveTimers(), timers + 1);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1);
    EXPECT_EQ(KVXRunLoopRunOnce(), 0);
    EXPECT_TRUE(Enabled("din"));
    EXPECT_TRUE(Enabled("dc"));
    Choose("print-mode", 5);  // armed again, never fired
    pane_->Dismiss(session::DialogOutcome::Canceled);
    EXPECT_EQ(liveTimers(), timers) << "terminate takes the timer down";
    EXPECT_EQ(KVXRunLoopRunOnce(), 0);
}

TEST_F(Relationships, AFailedTimerIsLoggedAndTriedAgainOnTheNextCommand) {
    Start();
    openlog("test", LOG_PERROR, LOG_USER);
    KVXHostFailNext(kKVXFaultTimerCreate, 2);
    testing::internal::CaptureStderr();
    Choose("print-mode", 3);
    Choose("print-mode", 3);
    const std::string log = testing::internal::GetCapturedStderr();
    closelog();
    const std::string message = "Relationship timer creation failed! Probably lack of memory.";
    EXPECT_NE(log.find(message, log.find(message) + 1), std::string::npos) << log;
    EXPECT_EQ(KVXRunLoopRunOnce(), 0);
    EXPECT_FALSE(Enabled("din")) << "the update of a failed command is lost";
    Choose("print-mode", 3);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1);
    EXPECT_TRUE(Enabled("din"));
}

TEST_F(Relationships, WithoutItsHandlersThePaneStillWorksAndEndsCleanly) {
    KVXHostFailNext(kKVXFaultInstallEventHandler, -1);
    Start({{CFSTR("PrintMode"), CFSTR("Private")}});
    KVXHostClearFaults();
    EXPECT_TRUE(Enabled("din")) << "the rules were still applied at initialize";
    const auto shown = Run("type din a\nchoose print-mode Normal\nshow");
    EXPECT_EQ(shown["din"]["text"], "00000a") << "no constraint: the field is unconstrained";
    EXPECT_EQ(shown["din"]["enabled"], true) << "no command handler, so no rules";
}

using DigitKeys = PaneTest;

TEST_F(DigitKeys, OnlyTheCharacterCountsAndARepeatIsAKey) {
    Start({{CFSTR("PrintMode"), CFSTR("Private")}});
    Run("settext din ");
    for (const UInt32 modifier : {0x0100, 0x0200, 0x0800, 0x1000}) {  // command, shift, option, control
        KVXSendKeyToControl(Control("din"), kEventRawKeyDown, u'x', modifier);
        KVXSendKeyToControl(Control("din"), kEventRawKeyDown, u'4', modifier);
    }
    for (const char key : std::string_view("9x99")) KVXSendKeyToControl(Control("din"), kEventRawKeyRepeat, key, 0);
    EXPECT_EQ(session::CopyFieldText(Control("din")), "44449");
}

using FailedReads = PaneTest;

TEST_F(FailedReads, ChangeNothingAndHandOutNothing) {
    Start({{CFSTR("PrintMode"), CFSTR("Private")}, {CFSTR("DeptCode"), CFSTR("True")}});
    Run("settext din 12345\nsettext dc 678");
    KVXHostFailNext(kKVXFaultGetControlText, 1);
    EXPECT_EQ(Run("summary")["rows"].get<Rows>(), (Rows{{"Print Mode", "Private (DIN)"}, {"Department Code", "00678"}}));
    KVXHostFailNext(kKVXFaultGetControlText, 1);
    const auto ticket = Run("sync to-ticket\nticket");
    EXPECT_FALSE(ticket.contains("DINDigit1")) << "an unreadable digit writes no key";
    EXPECT_EQ(ticket.value("DINDigit2", "") + ticket.value("DCDigit1", "") + ticket.value("DCDigit5", ""), "208");
    KVXHostFailNext(kKVXFaultCopyMenuItemText, 1);
    EXPECT_EQ(Run("summary")["status"], kNoMenuItem);

    // Positions outside the menus read as the first value; setting a popup
    // takes the check mark off the item it showed.
    for (const SInt32 stray : {0, 6, -1}) {
        for (const auto name : {"print-mode", "department", "orientation"}) SetControl32BitValue(Control(name), stray);
        ASSERT_EQ(pane_->SyncToTicket(), noErr);
        EXPECT_EQ(TicketValue(CFSTR("PrintMode")) + TicketValue(CFSTR("DeptCode")) +
                      TicketValue(CFSTR("ZELOrientation")),
                  "NormalFalsePortrait");
    }
    MenuRef menu = GetControlPopupMenuHandle(Control("print-mode"));
    SetControl32BitValue(Control("print-mode"), 3);
    CheckMenuItem(menu, 3, true);
    ASSERT_EQ(pane_->SyncFromTicket(), noErr);
    UInt16 mark = kMenuCheckMark;
    GetItemMark(menu, 3, &mark);
    EXPECT_EQ(mark, kMenuNoMark);

    // Without a print-settings ticket neither direction changes anything.
    ASSERT_EQ(PMSessionSetDataInSession(session_->SessionRef(), CFSTR(kPDE_PMPrintSettingsRef), nullptr), noErr);
    SetControl32BitValue(Control("print-mode"), 3);
    EXPECT_EQ(pane_->SyncToTicket(), kNoTicket);
    EXPECT_EQ(pane_->SyncFromTicket(), kNoTicket);
    EXPECT_EQ(GetControl32BitValue(Control("print-mode")), 3);
    EXPECT_EQ(TicketValue(CFSTR("PrintMode")), "Normal");
    EXPECT_FALSE(Enabled("din")) << "a failed sync applies no relationships";
}

}  // namespace
}  // namespace kvx::test
