// The pane's lifecycle where host internals tell: what Prologue reports,
// where Initialize puts the container, how the pane declines, which PPDs it
// opens and closes, and how it ends on every path.
#include "pane_harness.hpp"

namespace kvx::test {
namespace {

CFIndex LiveWindows() { return KVXHostGetLiveObjectCount(KVXWindowGetTypeID()); }

using Lifecycle = PaneTest;

TEST_F(Lifecycle, PrologueReportsTheWindowOrDeclinesWithoutIt) {
    ASSERT_NO_FATAL_FAILURE(Load());
    EXPECT_EQ(Prologue(), noErr);
    EXPECT_EQ(kvx::ToUTF8(title_.get()), "Korvane Job Options");
    EXPECT_EQ(maxH_, 460u);
    EXPECT_EQ(maxV_, 130u);
    EXPECT_EQ(Terminate(), noErr);
    for (const KVXHostFault fault : {kKVXFaultGetWindowBounds, kKVXFaultCopyWindowTitle}) {
        KVXHostFailNext(fault, 1);
        EXPECT_EQ(Prologue(), errInvalidWindowRef);
        EXPECT_FALSE(title_);
        EXPECT_EQ(Terminate(), noErr);
    }

    BundleCopy bundle;
    bundle.removeResource("PDE.nib");
    ASSERT_NO_FATAL_FAILURE(Load(bundle.pluginsFolder()));
    maxH_ = 7;
    EXPECT_EQ(Prologue(), kPaneNotShown);
    EXPECT_NE(context_, nullptr);
    EXPECT_EQ(creator_, static_cast<OSType>('kvx '));
    EXPECT_EQ(kvx::ToUTF8(kind_), "com.korvane.kvx.pde.joboptions");
    EXPECT_FALSE(title_);
    EXPECT_EQ(maxH_, 7u);
    EXPECT_EQ(Terminate(), noErr);
}

TEST_F(Lifecycle, EveryLaterCallbackSurvivesAMissingRecord) {
    ASSERT_NO_FATAL_FAILURE(Open());
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    EXPECT_EQ(Table().Initialize(nullptr, &flags_, nullptr, UserPane(), Session()), memFullErr);
    EXPECT_EQ(flags_, 0xFFFFFFFFu);
    EXPECT_EQ(Table().Sync(nullptr, Session(), true), memFullErr);
    EXPECT_EQ(Table().Sync(nullptr, Session(), false), memFullErr);
    EXPECT_EQ(Table().GetSummaryText(nullptr, &titles, &values), memFullErr);
    EXPECT_EQ(titles, nullptr);
    EXPECT_EQ(Table().Open(nullptr) + Table().Close(nullptr) + Table().Terminate(nullptr, noErr), noErr);
    EXPECT_EQ(LiveWindows(), 1);
}

// The interface file's container spans 0,0 to 130,460 of its window: it is
// centred in a larger pane's excess, never shifted back.
TEST_F(Lifecycle, ContainerIsPlacedByTheExcessOfThePane) {
    const struct {
        Rect pane, container;
    } cases[] = {
        {{20, 30, 150, 490}, {20, 30, 150, 490}},
        {{10, 40, 400, 700}, {10, 40, 140, 500}},
        {{5, 5, 105, 364}, {20, 55, 150, 515}},
        {{0, 0, 130, 561}, {0, 0, 130, 460}},
    };
    for (const auto &c : cases) {
        ASSERT_NO_FATAL_FAILURE(Load());
        ASSERT_NO_FATAL_FAILURE(OpenSession());
        ASSERT_NO_FATAL_FAILURE(OpenDialog({100, 100, 700, 900}, c.pane));
        ASSERT_EQ(Prologue(), noErr);
        ASSERT_EQ(Initialize(), noErr);
        ControlRef super = nullptr;
        EXPECT_EQ(GetSuperControl(Control(kContainerID), &super), noErr);
        EXPECT_EQ(super, UserPane());
        Rect got{};
        GetControlBounds(Control(kContainerID), &got);
        EXPECT_TRUE(got.top == c.container.top && got.left == c.container.left && got.bottom == c.container.bottom &&
                    got.right == c.container.right)
            << got.top << "," << got.left << "," << got.bottom << "," << got.right;
        EXPECT_EQ(Terminate(), noErr);
    }
}

TEST_F(Lifecycle, AMissingControlDeclinesAndAFailedFirstSyncStillWiresThePane) {
    BundleCopy bundle;
    bundle.writeResource("PDE.nib", MakeNib({.orientationPopup = false}));
    ASSERT_NO_FATAL_FAILURE(Open(bundle.pluginsFolder()));
    ASSERT_EQ(Prologue(), noErr);
    const CFIndex handlers = KVXHostGetLiveObjectCount(KVXEventHandlerGetTypeID());
    EXPECT_EQ(Initialize(), kPaneNotShown);
    EXPECT_EQ(LiveWindows(), 1) << "the interface file's window was left";
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXEventHandlerGetTypeID()), handlers);
    EXPECT_EQ(Terminate(), noErr);

    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(PMSessionSetDataInSession(Session(), CFSTR(kPDE_PMPrintSettingsRef), nullptr), noErr);
    ASSERT_EQ(Prologue(), noErr);
    EXPECT_EQ(Initialize(), kNoTicket);
    EXPECT_EQ(flags_, 0u);
    EXPECT_FALSE(Enabled(kDINID)) << "relationships applied";
    Choose(kPrintModeID, kPrivate);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1) << "command handler attached";
    Type(kDINID, u"12a345678");
    EXPECT_EQ(Text(kDINID), "12345") << "constraints attached";
}

TEST_F(Lifecycle, APopupWithoutAMenuGivesNoSummaryAndDiscardsItsRows) {
    BundleCopy bundle;
    bundle.writeResource("PDE.nib", MakeNib({.orientationMenu = false}));
    ASSERT_NO_FATAL_FAILURE(Show(bundle.pluginsFolder()));
    SetTicketValue("PrintMode", "ZELP");
    SetTicketValue("ZELOrientation", "Landscape");
    ASSERT_EQ(SyncFromTicket(), noErr);
    EXPECT_EQ(Position(kZELOrientationID), 2) << "a popup without a menu still takes its value";
    EXPECT_EQ(GetSummary().status, kNoMenu);
    SetControl32BitValue(Control(kPrintModeID), kProof);
    EXPECT_EQ(GetSummary().rows.size(), 1u);
}

class PrinterCheck : public PaneTest {
protected:
    // Initialize's answer and how many PPDs it opened and closed meanwhile.
    using Outcome = std::tuple<OSStatus, CFIndex, CFIndex>;
    Outcome InitializeFor(const std::string &ppd, KVXHostFault fault, bool info = true) {
        Open(KVX_PLUGINS_DIR, ppd);
        if (!info) PMSessionSetDataInSession(Session(), CFSTR(kPDE_PMPrinterInfoRef), nullptr);
        EXPECT_EQ(Prologue(), noErr);
        const CFIndex opened = KVXPPDGetOpenCount();
        const CFIndex closed = KVXPPDGetCloseCount();
        if (fault != kKVXFaultCount) KVXHostFailNext(fault, 1);
        flags_ = 0xFFFFFFFF;
        const OSStatus status = Initialize();
        if (status != noErr) {
            EXPECT_EQ(flags_, 0xFFFFFFFFu) << "a declining pane writes no flags";
            EXPECT_EQ(LiveWindows(), 1) << "a declining pane makes no window";
        }
        return {status, KVXPPDGetOpenCount() - opened, KVXPPDGetCloseCount() - closed};
    }
    TempFolder folder_;
};

TEST_F(PrinterCheck, ThePPDIsOpenedAndClosedOnceAndEveryFailureDeclines) {
    const std::string noModel = folder_.write("test.ppd", "*PPD-Adobe: \"4.3\"\n*NickName: \"Korvane RM-4750\"\n");
    EXPECT_EQ(InitializeFor(noModel, kKVXFaultCount), Outcome(kPaneNotShown, 1, 1));
    Terminate();
    EXPECT_EQ(InitializeFor(SupportedModelPPD(), kKVXFaultCount, false), Outcome(kPaneNotShown, 0, 0));
    Terminate();
    EXPECT_EQ(InitializeFor(SupportedModelPPD(), kKVXFaultPPDOpen), Outcome(kPaneNotShown, 0, 0));
    Terminate();
    EXPECT_EQ(InitializeFor(SupportedModelPPD(), kKVXFaultPPDClose), Outcome(kPaneNotShown, 1, 1));
    Terminate();
    testing::internal::CaptureStderr();
    EXPECT_EQ(InitializeFor(SupportedModelPPD(), kKVXFaultCount), Outcome(noErr, 1, 1));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Korvane RM-4750"), std::string::npos) << "model echoed";
    EXPECT_EQ(Terminate(), noErr);
    ASSERT_EQ(Prologue(), noErr);
    KVXHostFailNext(kKVXFaultGetInvocationString, 1);
    EXPECT_EQ(Initialize(), kPaneNotShown) << "an unread name never matches, though the same printer was just read";
}

}  // namespace
}  // namespace kvx::test
