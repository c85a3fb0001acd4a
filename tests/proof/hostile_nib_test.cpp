// Interface files that are not what the pane expects: controls of the wrong
// kind at the pane's IDs, a popup without items, bounds past 16 bits. The
// pane either declines cleanly or works with defined fallbacks; it never
// crashes and never leaves an object behind.
#include <fstream>
#include <sstream>
#include <string>

#include "pane_harness.hpp"

namespace kvx::test {
namespace {

std::string PaneNib() {
    std::ifstream file(std::string(KVX_SOURCE_DIR) + "/resources/PDE.nib");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The pane's own interface file with one control's element replaced.
std::string NibWithControl(std::string_view id, std::string_view replacement) {
    std::string nib = PaneNib();
    const std::size_t start = nib.find("id=\"" + std::string(id) + "\"");
    const std::size_t open = nib.rfind("<control", start);
    const bool selfClosed = nib.find("/>", start) < nib.find('>', start) + 1;
    const std::size_t end = selfClosed ? nib.find("/>", start) + 2 : nib.find("</control>", start) + 10;
    EXPECT_NE(start, std::string::npos) << "no control " << id;
    return nib.replace(open, end - open, replacement);
}

class HostileNib : public PaneTest {
protected:
    // Loads a copy of the bundle with this interface file and runs Prologue.
    OSStatus PrologueWith(const std::string &nib) {
        bundle_.writeResource("PDE.nib", nib);
        Open(bundle_.pluginsFolder());
        return Prologue();
    }
    BundleCopy bundle_;
};

TEST_F(HostileNib, TextFieldWhereThePrintModePopupBelongsCarriesTheModeAsItsValue) {
    ASSERT_EQ(PrologueWith(NibWithControl(
                  "5", R"(<control kind="edittext" signature="kvx " id="5" text="Private" top="18" left="150" bottom="38" right="300"/>)")),
              noErr);
    ASSERT_EQ(Initialize(), noErr);
    // Every control has a value: the field's is the mode's position, as a popup's would be.
    EXPECT_EQ(Position(kPrintModeID), kNormal);
    EXPECT_FALSE(Enabled(kDINID));
    Type(kPrintModeID, u"ZEL");
    EXPECT_EQ(Text(kPrintModeID), "PrivateZEL") << "the field edits its text as any field does";
    EXPECT_EQ(Position(kPrintModeID), kNormal) << "its text never picks a mode";
    Choose(kPrintModeID, kPrivate);
    KVXRunLoopRunOnce();
    EXPECT_TRUE(Enabled(kDINID));
    EXPECT_EQ(GetSummary().status, kPMGeneralError) << "no menu, no summary";
    ASSERT_EQ(SyncToTicket(), noErr);
    EXPECT_EQ(TicketValue("PrintMode"), "Private");
    SetTicketValue("PrintMode", "ZELP");
    ASSERT_EQ(SyncFromTicket(), noErr);
    EXPECT_EQ(Position(kPrintModeID), kZELP);
    EXPECT_EQ(Terminate(), noErr);
}

TEST_F(HostileNib, PopupWhereADigitFieldBelongsWritesNoDigits) {
    ASSERT_EQ(PrologueWith(NibWithControl(
                  "6", R"(<control kind="popup" signature="kvx " id="6" top="20" left="360" bottom="38" right="430"><item>1</item></control>)")),
              noErr);
    SetTicketValue("PrintMode", "Private");
    ASSERT_EQ(Initialize(), noErr);
    EXPECT_TRUE(Enabled(kDINID));
    Type(kDINID, u"12x");
    const Summary summary = GetSummary();
    ASSERT_EQ(summary.status, noErr);
    EXPECT_EQ(summary.rows.size(), 1u) << "a code that cannot be read has no row";
    ASSERT_EQ(SyncToTicket(), noErr);
    EXPECT_EQ(TicketValue("DINDigit1"), "<missing>");
    EXPECT_EQ(TicketValue("DCDigit1"), "0");
    EXPECT_EQ(Terminate(), noErr);
}

TEST_F(HostileNib, PopupWithoutItemsWorksButGivesNoSummary) {
    ASSERT_EQ(PrologueWith(NibWithControl(
                  "9", R"(<control kind="popup" signature="kvx " id="9" top="86" left="150" bottom="106" right="300"></control>)")),
              noErr);
    SetTicketValue("PrintMode", "ZEL");
    SetTicketValue("ZELOrientation", "Landscape");
    ASSERT_EQ(Initialize(), noErr);
    EXPECT_EQ(Position(kZELOrientationID), 2) << "the value is kept though no item is there";
    Choose(kZELOrientationID, 1);
    KVXRunLoopRunOnce();
    EXPECT_EQ(GetSummary().status, menuItemNotFoundErr);
    ASSERT_EQ(SyncToTicket(), noErr);
    EXPECT_EQ(TicketValue("ZELOrientation"), "Portrait");
    EXPECT_EQ(Terminate(), noErr);
}

TEST_F(HostileNib, BoundsPast16BitsDeclineInPrologue) {
    std::string nib = PaneNib();
    const std::string right = "right=\"460\"";
    nib.replace(nib.find(right), right.size(), "right=\"70000\"");
    EXPECT_EQ(PrologueWith(nib), kPaneNotShown);
    EXPECT_FALSE(title_);
    EXPECT_EQ(Initialize(), kPaneNotShown);
    EXPECT_EQ(Terminate(), noErr);
}

}  // namespace
}  // namespace kvx::test
