// The pane's lifecycle: what Prologue reports, where Initialize puts the
// pane, for which printers it appears, and how it ends on every path.
#include <cstdlib>

#include "pane_harness.hpp"

namespace kvx::test {
namespace {

CFIndex LiveWindows() { return KVXHostGetLiveObjectCount(KVXWindowGetTypeID()); }
CFIndex LiveHandlers() { return KVXHostGetLiveObjectCount(KVXEventHandlerGetTypeID()); }

std::string PPDForModel(std::string_view modelLine) {
    return std::string(R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "TEST.PPD"
*Manufacturer: "Korvane"
*Product: "(Test)"
*NickName: "Korvane Test"
*ShortNickName: "Korvane Test"
)PPD") + std::string(modelLine) + "\n";
}

using PrologueReport = PaneTest;

TEST_F(PrologueReport, ReportsTheInterfaceFilesWindowOrDeclinesWithoutIt) {
    ASSERT_NO_FATAL_FAILURE(Load());
    EXPECT_EQ(PaneTest::Prologue(), noErr);
    EXPECT_EQ(kvx::ToUTF8(title_.get()), "Korvane Job Options");
    EXPECT_EQ(maxH_, 460u);
    EXPECT_EQ(maxV_, 130u);
    EXPECT_EQ(Terminate(), noErr);

    BundleCopy bundle;
    bundle.writeResource("PDE.nib", MakeNib({.width = 400, .height = 250}));
    ASSERT_NO_FATAL_FAILURE(Load(bundle.pluginsFolder()));
    EXPECT_EQ(PaneTest::Prologue(), noErr);
    EXPECT_EQ(kvx::ToUTF8(title_.get()), "Test Options");
    EXPECT_EQ(maxH_, 400u);
    EXPECT_EQ(maxV_, 250u);
    EXPECT_EQ(Terminate(), noErr);

    for (const bool removeFile : {true, false}) {
        if (removeFile)
            bundle.removeResource("PDE.nib");
        else
            bundle.writeResource("PDE.nib", MakeNib({.windowName = "Other"}));
        ASSERT_NO_FATAL_FAILURE(Load(bundle.pluginsFolder()));
        maxH_ = 7;
        creator_ = 0;
        kind_ = nullptr;
        EXPECT_EQ(PaneTest::Prologue(), kPaneNotShown);
        EXPECT_NE(context_, nullptr);
        EXPECT_EQ(creator_, static_cast<OSType>('kvx '));
        EXPECT_EQ(kvx::ToUTF8(kind_), "com.korvane.kvx.pde.joboptions");
        EXPECT_FALSE(title_);
        EXPECT_EQ(maxH_, 7u);
        EXPECT_EQ(Terminate(), noErr);
    }
}

TEST_F(PrologueReport, PassesOnAFailingWindowOperation) {
    ASSERT_NO_FATAL_FAILURE(Load());
    for (const KVXHostFault fault : {kKVXFaultGetWindowBounds, kKVXFaultCopyWindowTitle}) {
        KVXHostFailNext(fault, 1);
        EXPECT_EQ(PaneTest::Prologue(), errInvalidWindowRef);
        EXPECT_FALSE(title_);
        EXPECT_EQ(Terminate(), noErr);
    }
}

TEST_F(PrologueReport, EveryLaterCallbackSurvivesAMissingRecord) {
    ASSERT_NO_FATAL_FAILURE(Open());
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    EXPECT_EQ(Table().Initialize(nullptr, &flags_, nullptr, UserPane(), Session()), memFullErr);
    EXPECT_EQ(flags_, 0xFFFFFFFFu);
    EXPECT_EQ(Table().Sync(nullptr, Session(), true), memFullErr);
    EXPECT_EQ(Table().Sync(nullptr, Session(), false), memFullErr);
    EXPECT_EQ(Table().GetSummaryText(nullptr, &titles, &values), memFullErr);
    EXPECT_EQ(titles, nullptr);
    EXPECT_EQ(Table().Open(nullptr), noErr);
    EXPECT_EQ(Table().Close(nullptr), noErr);
    EXPECT_EQ(Table().Terminate(nullptr, noErr), noErr);
    EXPECT_EQ(LiveWindows(), 1);
}

class Placement : public PaneTest {
protected:
    // The container's bounds in the dialog once a window of the given content
    // size has been moved into a pane with the given bounds.
    Rect ContainerIn(int width, int height, Rect pane) {
        bundle_.writeResource("PDE.nib", MakeNib({.width = width, .height = height}));
        Load(bundle_.pluginsFolder());
        OpenSession();
        OpenDialog({100, 100, 700, 900}, pane);
        EXPECT_EQ(PaneTest::Prologue(), noErr);
        EXPECT_EQ(Initialize(), noErr);
        ControlRef super = nullptr;
        EXPECT_EQ(GetSuperControl(Control(kContainerID), &super), noErr);
        EXPECT_EQ(super, UserPane());
        Rect bounds{};
        GetControlBounds(Control(kContainerID), &bounds);
        return bounds;
    }
    BundleCopy bundle_;
};

// The interface file's container spans 0,0 to 130,460 of its window.
TEST_F(Placement, ContainerIsCentredInALargerWindowButNeverShiftedBack) {
    const struct {
        Rect pane, container;
    } cases[] = {
        {{20, 30, 150, 490}, {20, 30, 150, 490}},  // the window's size: at its corner
        {{10, 40, 400, 700}, {10, 40, 140, 500}},  // a larger pane leaves it uncentred
        {{5, 5, 105, 364}, {20, 55, 150, 515}},    // a larger window: half the excess
        {{0, 0, 130, 561}, {0, 0, 130, 460}},      // a narrower window: no negative shift
    };
    for (const auto &c : cases) {
        const Rect got = ContainerIn(460, 130, c.pane);
        EXPECT_TRUE(got.top == c.container.top && got.left == c.container.left && got.bottom == c.container.bottom &&
                    got.right == c.container.right)
            << got.top << "," << got.left << "," << got.bottom << "," << got.right;
        Terminate();
    }
}

using InitializePane = PaneTest;

TEST_F(InitializePane, AMissingControlDeclinesAndEndsCleanly) {
    BundleCopy bundle;
    bundle.writeResource("PDE.nib", MakeNib({.orientationPopup = false}));
    ASSERT_NO_FATAL_FAILURE(Open(bundle.pluginsFolder()));
    ASSERT_EQ(PaneTest::Prologue(), noErr);
    const CFIndex handlers = LiveHandlers();
    EXPECT_EQ(PaneTest::Initialize(), kPaneNotShown);
    EXPECT_EQ(LiveWindows(), 1) << "the interface file's window was left";
    EXPECT_EQ(LiveHandlers(), handlers) << "nothing is attached to a pane that is not shown";
    EXPECT_EQ(Terminate(), noErr);
}

TEST_F(InitializePane, AFailedFirstSyncStillWiresThePane) {
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(PMSessionSetDataInSession(Session(), CFSTR(kPDE_PMPrintSettingsRef), nullptr), noErr);
    ASSERT_EQ(PaneTest::Prologue(), noErr);
    EXPECT_EQ(PaneTest::Initialize(), kNoTicket);
    EXPECT_EQ(flags_, 0u);
    EXPECT_FALSE(Enabled(kDINID)) << "relationships applied";
    Choose(kPrintModeID, kPrivate);
    EXPECT_EQ(KVXRunLoopRunOnce(), 1) << "command handler attached";
    Type(kDINID, u"12a345678");
    EXPECT_EQ(Text(kDINID), "12345") << "constraints attached";
}

class PrinterCheck : public PaneTest {
protected:
    // Initialize's answer for a printer with the given PPD, and how many
    // times the PPD was opened and closed meanwhile.
    struct Outcome {
        OSStatus status;
        CFIndex opened;
        CFIndex closed;
    };
    Outcome InitializeFor(const std::string &ppdPath, KVXHostFault fault = kKVXFaultCount, bool withInfo = true) {
        Open(KVX_PLUGINS_DIR, ppdPath);
        if (!withInfo) PMSessionSetDataInSession(Session(), CFSTR(kPDE_PMPrinterInfoRef), nullptr);
        EXPECT_EQ(PaneTest::Prologue(), noErr);
        const CFIndex opened = KVXPPDGetOpenCount();
        const CFIndex closed = KVXPPDGetCloseCount();
        if (fault != kKVXFaultCount) KVXHostFailNext(fault, 1);
        flags_ = 0xFFFFFFFF;
        const OSStatus status = PaneTest::Initialize();
        if (status != noErr) {
            EXPECT_EQ(flags_, 0xFFFFFFFFu) << "a declining pane writes no flags";
            EXPECT_EQ(LiveWindows(), 1) << "a declining pane makes no window";
        }
        return {status, KVXPPDGetOpenCount() - opened, KVXPPDGetCloseCount() - closed};
    }
    std::string PPD(std::string_view modelLine) { return folder_.write("test.ppd", PPDForModel(modelLine)); }
    TempFolder folder_;
};

TEST_F(PrinterCheck, OnlyTheExactModelNameShowsThePane) {
    testing::internal::CaptureStderr();
    const Outcome exact = InitializeFor(PPD(R"(*ModelName: "Korvane RM-4750")"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Korvane RM-4750"), std::string::npos) << "model echoed";
    EXPECT_EQ(exact.status, noErr);
    EXPECT_EQ(exact.opened, 1);
    EXPECT_EQ(exact.closed, 1);
    Terminate();
    for (const char *model : {"korvane rm-4750", "KORVANE RM-4750", " Korvane RM-4750", "Korvane RM-4750 ",
                              "Korvane RM-475", "Korvane RM-47500", "Korvane  RM-4750"}) {
        const Outcome other = InitializeFor(PPD(std::string("*ModelName: \"") + model + "\""));
        EXPECT_EQ(other.status, kPaneNotShown) << '"' << model << '"';
        EXPECT_EQ(other.closed, other.opened);
        Terminate();
    }
    EXPECT_EQ(InitializeFor(OtherModelPPD()).status, kPaneNotShown);
}

TEST_F(PrinterCheck, EveryFailureDeclinesAndClosesWhatItOpened) {
    struct Case {
        const char *what;
        std::string ppd;
        KVXHostFault fault;
        bool withInfo;
        CFIndex opened;
        CFIndex closed;
    };
    const Case cases[] = {
        {"no ModelName", PPD(""), kKVXFaultCount, true, 1, 1},
        {"no printer-info ticket", SupportedModelPPD(), kKVXFaultCount, false, 0, 0},
        {"PPD does not open", SupportedModelPPD(), kKVXFaultPPDOpen, true, 0, 0},
        {"PPD does not close", SupportedModelPPD(), kKVXFaultPPDClose, true, 1, 1},
    };
    for (const Case &failure : cases) {
        const Outcome outcome = InitializeFor(failure.ppd, failure.fault, failure.withInfo);
        EXPECT_EQ(outcome.status, kPaneNotShown) << failure.what;
        EXPECT_EQ(outcome.opened, failure.opened) << failure.what;
        EXPECT_EQ(outcome.closed, failure.closed) << failure.what;
        Terminate();
    }
}

TEST_F(PrinterCheck, AnUnreadNameNeverMatches) {
    // The same printer was just read successfully: nothing of that read may count.
    ASSERT_EQ(InitializeFor(SupportedModelPPD()).status, noErr);
    EXPECT_EQ(Terminate(), noErr);
    ASSERT_EQ(PaneTest::Prologue(), noErr);
    KVXHostFailNext(kKVXFaultGetInvocationString, 1);
    EXPECT_EQ(PaneTest::Initialize(), kPaneNotShown);
}

}  // namespace
}  // namespace kvx::test
