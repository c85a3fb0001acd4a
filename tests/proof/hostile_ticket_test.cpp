// Print-settings tickets holding what the pane never writes: every property
// list type under every pane key, huge and odd strings, keys that differ only
// in letter case. A value the pane cannot use reads as its default and only
// its own control falls back; nothing else in the ticket is lost.
#include <string>
#include <vector>

#include "pane_harness.hpp"

namespace kvx::test {
namespace {

// Every type a saved settings file may carry, read by the host's own reader.
constexpr std::string_view kEveryType = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>string</key><string>x</string>
<key>integer</key><integer>3</integer>
<key>real</key><real>2.5</real>
<key>boolean</key><true/>
<key>data</key><data>AAEC</data>
<key>date</key><date>2026-01-02T03:04:05Z</date>
<key>array</key><array><string>Private</string></array>
<key>dictionary</key><dict><key>PrintMode</key><string>Private</string></dict>
</dict></plist>
)";

struct PaneKey {
    const char *key;
    SInt32 control;
    int digit;  // 1 to 5 for a digit key, 0 for a popup's key
    const char *fallback;
};

constexpr PaneKey kPaneKeys[] = {
    {"PrintMode", kPrintModeID, 0, "Normal"},   {"DeptCode", kDepartmentID, 0, "False"},
    {"ZELOrientation", kZELOrientationID, 0, "Portrait"},
    {"DINDigit1", kDINID, 1, "0"}, {"DINDigit2", kDINID, 2, "0"}, {"DINDigit3", kDINID, 3, "0"},
    {"DINDigit4", kDINID, 4, "0"}, {"DINDigit5", kDINID, 5, "0"}, {"DCDigit1", kDCID, 1, "0"},
    {"DCDigit2", kDCID, 2, "0"},   {"DCDigit3", kDCID, 3, "0"},   {"DCDigit4", kDCID, 4, "0"},
    {"DCDigit5", kDCID, 5, "0"},
};

constexpr std::string_view kGoodDIN = "12345";
constexpr std::string_view kGoodDC = "67890";

class HostileTicket : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(Show());
    }

    // A ticket every key of which holds a usable value other than its default.
    void FillGoodTicket() const {
        CFDictionaryRemoveAllValues(PPDDict());
        SetTicketValue("PrintMode", "Private");
        SetTicketValue("DeptCode", "True");
        SetTicketValue("ZELOrientation", "Landscape");
        for (int digit = 1; digit <= 5; ++digit) {
            SetTicketValue("DINDigit" + std::to_string(digit), kGoodDIN.substr(digit - 1, 1));
            SetTicketValue("DCDigit" + std::to_string(digit), kGoodDC.substr(digit - 1, 1));
        }
    }

    struct Shown {
        SInt32 printMode, department, orientation;
        std::string din, dc;
        bool operator==(const Shown &) const = default;
    };
    Shown Controls() const {
        return {Position(kPrintModeID), Position(kDepartmentID), Position(kZELOrientationID), Text(kDINID),
                Text(kDCID)};
    }
    static Shown GoodControls() { return {kPrivate, kSwitchOn, 2, std::string(kGoodDIN), std::string(kGoodDC)}; }
};

TEST_F(HostileTicket, EveryTypeUnderEveryKeyFallsBackForThatControlAlone) {
    TempFolder folder;
    const std::string path = folder.write("every-type.plist", kEveryType);
    kvx::CFHolder<CFStringRef> error;
    const kvx::CFHolder<CFDictionaryRef> values(
        static_cast<CFDictionaryRef>(KVXPropertyListCreateFromFile(path.c_str(), error.out())));
    ASSERT_TRUE(values) << kvx::ToUTF8(error.get());
    std::vector<std::pair<std::string, CFTypeRef>> typed;
    CFDictionaryApplyFunction(
        values.get(),
        [](const void *typeName, const void *value, void *info) {
            static_cast<std::vector<std::pair<std::string, CFTypeRef>> *>(info)->emplace_back(
                kvx::ToUTF8(static_cast<CFStringRef>(typeName)), value);
        },
        &typed);
    ASSERT_EQ(typed.size(), 8u);

    for (const PaneKey &paneKey : kPaneKeys) {
        for (const auto &[typeName, value] : typed) {
            const std::string what = std::string(paneKey.key) + " = " + typeName;
            FillGoodTicket();
            CFDictionarySetValue(PPDDict(), kvx::MakeString(paneKey.key).get(), value);
            ASSERT_EQ(SyncFromTicket(), noErr) << what;

            // Dates arrive as their ISO 8601 text, so strings are two of the types.
            const bool isText = CFGetTypeID(value) == CFStringGetTypeID();
            const std::string text = isText ? kvx::ToUTF8(static_cast<CFStringRef>(value)) : "";
            Shown expected = GoodControls();
            if (paneKey.control == kPrintModeID) expected.printMode = kNormal;
            if (paneKey.control == kDepartmentID) expected.department = kSwitchOff;
            if (paneKey.control == kZELOrientationID) expected.orientation = 1;
            if (paneKey.digit != 0) {
                // A digit key's text is joined whole; any other type loses the code.
                std::string &code = paneKey.control == kDINID ? expected.din : expected.dc;
                code = isText ? code.replace(paneKey.digit - 1, 1, text) : "00000";
            }
            EXPECT_TRUE(Controls() == expected) << what;
            EXPECT_EQ(GetSummary().status, noErr) << what;

            ASSERT_EQ(SyncToTicket(), noErr) << what;
            const std::string written = TicketValue(paneKey.key);
            EXPECT_EQ(written, paneKey.digit != 0 && isText ? text.substr(0, 1) : paneKey.fallback) << what;
            // The keys of every other control keep their values.
            if (paneKey.control != kPrintModeID) {
                EXPECT_EQ(TicketValue("PrintMode"), "Private") << what;
            }
            if (paneKey.control != kDCID) {
                EXPECT_EQ(TicketValue("DCDigit4"), "9") << what;
            }
            if (paneKey.control != kDINID) {
                EXPECT_EQ(TicketValue("DINDigit1"), "1") << what;
            }
        }
    }
}

TEST_F(HostileTicket, HugePrintModeReadsAsNormal) {
    for (const std::string &huge : {std::string(100000, 'P'), "Private" + std::string(100000 - 7, ' ')}) {
        FillGoodTicket();
        SetTicketValue("PrintMode", huge);
        ASSERT_EQ(SyncFromTicket(), noErr);
        EXPECT_EQ(Position(kPrintModeID), kNormal);
        EXPECT_FALSE(Enabled(kDINID));
        ASSERT_EQ(SyncToTicket(), noErr);
        EXPECT_EQ(TicketValue("PrintMode"), "Normal");
    }
}

TEST_F(HostileTicket, OddDigitTextsAreJoinedWholeAndTheirCharactersSurvive) {
    const struct {
        const char *value;
        const char *field;     // the DIN field after the sync from the ticket
        const char *summary;   // the DIN row of the summary
        const char *written;   // DINDigit1 to DINDigit5 after the sync to the ticket
    } cases[] = {
        {"", "1245", "01245", "01245"},
        {"12", "121245", "121245", "12124"},
        {"\xC3\xA9", "12\xC3\xA9" "45", "12\xC3\xA9" "45", "12\xC3\xA9" "45"},
    };
    for (const auto &odd : cases) {
        FillGoodTicket();
        SetTicketValue("DINDigit3", odd.value);
        ASSERT_EQ(SyncFromTicket(), noErr);
        EXPECT_EQ(Text(kDINID), odd.field) << '"' << odd.value << '"';
        const Summary summary = GetSummary();
        ASSERT_EQ(summary.status, noErr);
        ASSERT_GE(summary.rows.size(), 2u);
        EXPECT_EQ(summary.rows[1].second, odd.summary) << '"' << odd.value << '"';
        ASSERT_EQ(SyncToTicket(), noErr);
        std::string written;
        for (int digit = 1; digit <= 5; ++digit) written += TicketValue("DINDigit" + std::to_string(digit));
        EXPECT_EQ(written, odd.written) << '"' << odd.value << '"';
    }
}

TEST_F(HostileTicket, KeysThatDifferOnlyInCaseAreOtherKeys) {
    CFDictionaryRemoveAllValues(PPDDict());
    const std::vector<std::pair<std::string, std::string>> lookalikes = {
        {"printmode", "Private"}, {"PRINTMODE", "ZEL"}, {"deptcode", "True"},
        {"zelorientation", "Landscape"}, {"dindigit1", "9"}, {"DcDigit5", "7"}};
    for (const auto &[key, value] : lookalikes) SetTicketValue(key, value);
    ASSERT_EQ(SyncFromTicket(), noErr);
    EXPECT_TRUE(Controls() == (Shown{kNormal, kSwitchOff, 1, "00000", "00000"}));

    ASSERT_EQ(SyncToTicket(), noErr);
    for (const auto &[key, value] : lookalikes) EXPECT_EQ(TicketValue(key), value) << key;
    EXPECT_EQ(TicketValue("PrintMode"), "Normal");
    EXPECT_EQ(TicketKeys().size(), lookalikes.size() + 13);
}

}  // namespace
}  // namespace kvx::test
