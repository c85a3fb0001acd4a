// The pane's rows in the dialog's summary: which rows, in which order, with
// which titles and values, and nothing handed out on failure.
#include "pane_harness.hpp"

namespace kvx::test {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

class SummaryText : public PaneTest {
protected:
    Rows RowsFor(SInt32 mode, SInt32 department, std::string_view din = "42", std::string_view dc = "7") {
        SetControl32BitValue(Control(kPrintModeID), mode);
        SetControl32BitValue(Control(kDepartmentID), department);
        SetText(kDINID, din);
        SetText(kDCID, dc);
        const Summary summary = GetSummary();
        EXPECT_EQ(summary.status, noErr);
        return summary.rows;
    }
    void ShowWithNib(const NibOptions &options) {
        bundle_.writeResource("PDE.nib", MakeNib(options));
        Show(bundle_.pluginsFolder());
    }
    BundleCopy bundle_;
};

TEST_F(SummaryText, RowsFollowTheControlsAsTheyAreNow) {
    ASSERT_NO_FATAL_FAILURE(Show());
    SetControl32BitValue(Control(kZELOrientationID), 2);
    const std::pair<std::string, std::string> din{"Private Print DIN", "00042"};
    const std::pair<std::string, std::string> dc{"Department Code", "00007"};
    const std::pair<std::string, std::string> orientation{"ZEL Orientation", "Landscape"};
    EXPECT_EQ(RowsFor(kNormal, kSwitchOff), (Rows{{"Print Mode", "Normal"}}));
    EXPECT_EQ(RowsFor(kProof, kSwitchOff), (Rows{{"Print Mode", "Proof"}}));
    EXPECT_EQ(RowsFor(kProof, kSwitchOn), (Rows{{"Print Mode", "Proof"}, dc}));
    EXPECT_EQ(RowsFor(kPrivate, kSwitchOff), (Rows{{"Print Mode", "Private (DIN)"}, din}));
    EXPECT_EQ(RowsFor(kPrivate, kSwitchOn, "", ""),
              (Rows{{"Print Mode", "Private (DIN)"}, {"Private Print DIN", "00000"}, {"Department Code", "00000"}}));
    EXPECT_EQ(RowsFor(kZEL, kSwitchOff), (Rows{{"Print Mode", "ZEL"}, orientation}));
    EXPECT_EQ(RowsFor(kZELP, kSwitchOn), (Rows{{"Print Mode", "ZELP"}, orientation, dc}));
    EXPECT_EQ(RowsFor(kPrivate, kSwitchOff, "1234567"), (Rows{{"Print Mode", "Private (DIN)"}, {"Private Print DIN", "1234567"}}));
}

TEST_F(SummaryText, AnUnreadableCodeLeavesItsRowOut) {
    ASSERT_NO_FATAL_FAILURE(Show());
    SetControl32BitValue(Control(kPrintModeID), kPrivate);
    SetControl32BitValue(Control(kDepartmentID), kSwitchOn);
    KVXHostFailNext(kKVXFaultGetControlText, 1);
    const Summary summary = GetSummary();
    EXPECT_EQ(summary.status, noErr);
    EXPECT_EQ(summary.rows, (Rows{{"Print Mode", "Private (DIN)"}, {"Department Code", "00000"}}));
}

TEST_F(SummaryText, AMissingTitleIsNamedAsSuch) {
    bundle_.writeResource("English.lproj/Localizable.strings", R"("DINTITLE" = "Mode";)");
    ASSERT_NO_FATAL_FAILURE(Show(bundle_.pluginsFolder()));
    EXPECT_EQ(RowsFor(kZEL, kSwitchOn), (Rows{{"Mode", "ZEL"},
                                              {"Missing Localizable.strings", "Portrait"},
                                              {"Missing Localizable.strings", "00007"}}));
}

TEST_F(SummaryText, APopupWithoutAMenuGivesNoSummary) {
    ASSERT_NO_FATAL_FAILURE(ShowWithNib({.printModeMenu = false, .orientationMenu = false}));
    SetTicketValue("PrintMode", "ZEL");
    ASSERT_EQ(SyncFromTicket(), noErr);
    EXPECT_EQ(Position(kPrintModeID), kZEL) << "a popup without a menu still takes its value";
    EXPECT_EQ(GetSummary().status, kNoMenu);
}

TEST_F(SummaryText, AFailingOrientationRowDiscardsThePrintModeRow) {
    ASSERT_NO_FATAL_FAILURE(ShowWithNib({.orientationMenu = false}));
    EXPECT_EQ(RowsFor(kProof, kSwitchOff), (Rows{{"Print Mode", "Proof"}}));
    SetControl32BitValue(Control(kPrintModeID), kZELP);
    EXPECT_EQ(GetSummary().status, kNoMenu);
}

TEST_F(SummaryText, AFailingItemTextCopyReturnsItsStatus) {
    ASSERT_NO_FATAL_FAILURE(Show());
    KVXHostFailNext(kKVXFaultCopyMenuItemText, 1);
    EXPECT_EQ(GetSummary().status, menuItemNotFoundErr);
    SetControl32BitValue(Control(kPrintModeID), kZEL);
    SetControl32BitValue(Control(kZELOrientationID), 3);  // past the menu's last item
    EXPECT_EQ(GetSummary().status, menuItemNotFoundErr);
}

}  // namespace
}  // namespace kvx::test
