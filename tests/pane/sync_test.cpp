// The pane's five settings between its controls and the print-settings
// ticket: defaults, value mapping, key order, digit keys.
#include "pane_harness.hpp"

namespace kvx::test {
namespace {

const char *const kPaneKeys[] = {"DeptCode",  "PrintMode", "ZELOrientation", "DINDigit1", "DINDigit2",
                                 "DINDigit3", "DINDigit4", "DINDigit5",      "DCDigit1",  "DCDigit2",
                                 "DCDigit3",  "DCDigit4",  "DCDigit5"};

class TicketSync : public PaneTest {
protected:
    std::string Digits(std::string_view prefix) const {
        std::string digits;
        for (int digit = 1; digit <= 5; ++digit) digits += TicketValue(std::string(prefix) + std::to_string(digit));
        return digits;
    }
    void SetDigitKeys(std::string_view prefix, std::string_view digits) const {
        for (size_t digit = 0; digit < digits.size(); ++digit)
            SetTicketValue(std::string(prefix) + std::to_string(digit + 1), digits.substr(digit, 1));
    }
    void ShowWithTicket(std::initializer_list<std::pair<const char *, const char *>> values) {
        ASSERT_NO_FATAL_FAILURE(Open());
        for (const auto &[key, value] : values) SetTicketValue(key, value);
        ASSERT_EQ(Prologue(), noErr);
        ASSERT_EQ(Initialize(), noErr);
    }
};

TEST_F(TicketSync, EmptyTicketShowsDefaultsWithBothFieldsDisabled) {
    ASSERT_NO_FATAL_FAILURE(ShowWithTicket({}));
    EXPECT_EQ(flags_, 0u);
    EXPECT_EQ(Position(kPrintModeID), kNormal);
    EXPECT_EQ(Position(kDepartmentID), kSwitchOff);
    EXPECT_EQ(Position(kZELOrientationID), 1);
    EXPECT_EQ(Text(kDINID), "00000");
    EXPECT_EQ(Text(kDCID), "00000");
    EXPECT_FALSE(Enabled(kDINID));
    EXPECT_FALSE(Enabled(kDCID));
}

TEST_F(TicketSync, TicketValuesReachTheControls) {
    ASSERT_NO_FATAL_FAILURE(ShowWithTicket({{"PrintMode", "Private"}, {"DeptCode", "True"}, {"ZELOrientation", "Landscape"}}));
    MenuRef menu = GetControlPopupMenuHandle(Control(kPrintModeID));
    ASSERT_NE(menu, nullptr);
    SetControl32BitValue(Control(kPrintModeID), kProof);
    CheckMenuItem(menu, kProof, true);
    SetDigitKeys("DINDigit", "12345");
    SetDigitKeys("DCDigit", "9999");  // DCDigit5 missing
    ASSERT_EQ(SyncFromTicket(), noErr);
    UInt16 mark = kMenuCheckMark;
    GetItemMark(menu, kProof, &mark);
    EXPECT_EQ(mark, kMenuNoMark) << "setting a popup unchecks the item shown before";
    EXPECT_EQ(Position(kPrintModeID), kPrivate);
    EXPECT_EQ(Position(kDepartmentID), kSwitchOn);
    EXPECT_EQ(Position(kZELOrientationID), 2);
    EXPECT_EQ(Text(kDINID), "12345");
    EXPECT_EQ(Text(kDCID), "00000");
    EXPECT_TRUE(Enabled(kDINID));
    EXPECT_TRUE(Enabled(kDCID));

    // A value of more than one character is joined whole, not cut.
    SetDigitKeys("DCDigit", "00000");
    SetTicketValue("DCDigit2", "12");
    ASSERT_EQ(SyncFromTicket(), noErr);
    EXPECT_EQ(Text(kDCID), "012000");
}

TEST_F(TicketSync, StrayOrWrongTypedValuesShowTheFirstItemAndAreWrittenBackAsIt) {
    ASSERT_NO_FATAL_FAILURE(ShowWithTicket({{"PrintMode", "Proof"}, {"DeptCode", "True"}, {"ZELOrientation", "Landscape"}}));
    SetDigitKeys("DINDigit", "12345");
    for (const char *stray : {"private", "ZEL ", "Normal2", ""}) {
        SetTicketValue("PrintMode", stray);
        SetControl32BitValue(Control(kPrintModeID), kProof);
        ASSERT_EQ(SyncFromTicket(), noErr);
        EXPECT_EQ(Position(kPrintModeID), kNormal) << '"' << stray << '"';
    }

    // A number or a dictionary where a string belongs counts as missing.
    const int32_t number = 3;
    const kvx::CFHolder<CFNumberRef> three(CFNumberCreate(nullptr, kCFNumberSInt32Type, &number));
    const kvx::CFHolder<CFMutableDictionaryRef> nested(CFDictionaryCreateMutable(nullptr, 0, nullptr, nullptr));
    CFDictionarySetValue(PPDDict(), CFSTR("PrintMode"), three.get());
    CFDictionarySetValue(PPDDict(), CFSTR("DeptCode"), nested.get());
    CFDictionarySetValue(PPDDict(), CFSTR("DINDigit3"), three.get());
    SetControl32BitValue(Control(kPrintModeID), kProof);
    ASSERT_EQ(SyncFromTicket(), noErr);
    EXPECT_EQ(Position(kPrintModeID), kNormal);
    EXPECT_EQ(Position(kDepartmentID), kSwitchOff);
    EXPECT_EQ(Text(kDINID), "00000");

    ASSERT_EQ(SyncToTicket(), noErr);
    EXPECT_EQ(TicketValue("PrintMode"), "Normal");
    EXPECT_EQ(TicketValue("DeptCode"), "False");
    EXPECT_EQ(Digits("DINDigit"), "00000");

    // Positions outside the menus are written as the first value too.
    for (const SInt32 stray : {0, 6, -1}) {
        SetControl32BitValue(Control(kPrintModeID), stray);
        SetControl32BitValue(Control(kDepartmentID), stray == 6 ? 3 : stray);
        SetControl32BitValue(Control(kZELOrientationID), stray == 6 ? 3 : stray);
        ASSERT_EQ(SyncToTicket(), noErr);
        EXPECT_EQ(TicketValue("PrintMode"), "Normal");
        EXPECT_EQ(TicketValue("DeptCode"), "False");
        EXPECT_EQ(TicketValue("ZELOrientation"), "Portrait");
    }
}

TEST_F(TicketSync, WritesItsKeysInOrderAndLeavesOthersAlone) {
    ASSERT_NO_FATAL_FAILURE(ShowWithTicket({}));
    SetText(kDINID, "77");  // disabled: print mode Normal
    SetText(kDCID, "305");  // disabled: switch off
    ASSERT_EQ(SyncToTicket(), noErr);
    EXPECT_EQ(TicketKeys(), std::vector<std::string>(std::begin(kPaneKeys), std::end(kPaneKeys)));
    EXPECT_EQ(TicketValue("PrintMode"), "Normal");
    EXPECT_EQ(Digits("DINDigit"), "00077") << "every digit key is written whatever the field's state";
    EXPECT_EQ(Digits("DCDigit"), "00305");
    SetText(kDINID, "1234567");
    SetText(kDCID, "");

    CFDictionaryRemoveAllValues(PPDDict());
    SetTicketValue("Resolution", "600dpi");
    SetTicketValue("DCDigit3", "8");
    ASSERT_EQ(Table().Sync(context_, Session(), 2), noErr) << "any value but 1 syncs toward the ticket";
    EXPECT_EQ(TicketValue("Resolution"), "600dpi");
    EXPECT_EQ(TicketValue("DCDigit3"), "0");
    EXPECT_EQ(TicketKeys().size(), std::size(kPaneKeys) + 1);
    EXPECT_EQ(Digits("DINDigit"), "12345") << "an overlong field gives its first five";
}

TEST_F(TicketSync, RoundTripRestoresZeroFilledTextsAndPositions) {
    ASSERT_NO_FATAL_FAILURE(ShowWithTicket({}));
    const SInt32 positions[][3] = {{kZELP, kSwitchOn, 2}, {kPrivate, kSwitchOff, 1}, {kZEL, kSwitchOn, 1}};
    for (const auto &[mode, department, orientation] : positions) {
        SetControl32BitValue(Control(kPrintModeID), mode);
        SetControl32BitValue(Control(kDepartmentID), department);
        SetControl32BitValue(Control(kZELOrientationID), orientation);
        SetText(kDINID, "42");
        SetText(kDCID, "");
        ASSERT_EQ(SyncToTicket(), noErr);
        SetControl32BitValue(Control(kPrintModeID), kProof);
        SetControl32BitValue(Control(kDepartmentID), 3 - department);
        SetControl32BitValue(Control(kZELOrientationID), 3 - orientation);
        SetText(kDINID, "9");
        ASSERT_EQ(SyncFromTicket(), noErr);
        EXPECT_EQ(Position(kPrintModeID), mode);
        EXPECT_EQ(Position(kDepartmentID), department);
        EXPECT_EQ(Position(kZELOrientationID), orientation);
        EXPECT_EQ(Text(kDINID), "00042");
        EXPECT_EQ(Text(kDCID), "00000");
    }
}

TEST_F(TicketSync, WithoutAPrintSettingsTicketNothingChanges) {
    ASSERT_NO_FATAL_FAILURE(ShowWithTicket({{"PrintMode", "Proof"}}));
    ASSERT_EQ(PMSessionSetDataInSession(Session(), CFSTR(kPDE_PMPrintSettingsRef), nullptr), noErr);
    SetControl32BitValue(Control(kPrintModeID), kPrivate);
    SetText(kDINID, "5");
    EXPECT_EQ(SyncToTicket(), kNoTicket);
    EXPECT_EQ(SyncFromTicket(), kNoTicket);
    EXPECT_EQ(Position(kPrintModeID), kPrivate);
    EXPECT_EQ(Text(kDINID), "5");
    EXPECT_FALSE(Enabled(kDINID)) << "a failed sync applies no relationships";
    EXPECT_EQ(TicketKeys(), std::vector<std::string>{"PrintMode"});
}

TEST_F(TicketSync, AnUnreadableDigitWritesNoKeyForIt) {
    ASSERT_NO_FATAL_FAILURE(ShowWithTicket({}));
    SetText(kDINID, "12345");
    SetText(kDCID, "678");
    KVXHostFailNext(kKVXFaultGetControlText, 1);
    ASSERT_EQ(SyncToTicket(), noErr);
    EXPECT_EQ(TicketValue("DINDigit1"), "<missing>");
    EXPECT_EQ(Digits("DINDigit"), "<missing>2345");
    EXPECT_EQ(Digits("DCDigit"), "00678");

    CFDictionaryRemoveAllValues(PPDDict());
    KVXHostFailNext(kKVXFaultGetControlText, 5);
    ASSERT_EQ(SyncToTicket(), noErr);
    EXPECT_EQ(TicketKeys().size(), 8u) << "three choices and the DC digits";
}

}  // namespace
}  // namespace kvx::test
