// Printers whose PPD is missing, broken or odd: the pane declines (-9530)
// unless the first ModelName is exactly the supported model, never crashes,
// and closes whatever it opened.
#include <random>
#include <string>

#include "pane_harness.hpp"

namespace kvx::test {
namespace {

constexpr std::string_view kSupportedModel = "Korvane RM-4750";

std::string PPDHeader(std::string_view languageEncoding) {
    return std::string(R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: )PPD") + std::string(languageEncoding) + R"PPD(
*PCFileName: "HOSTILE.PPD"
*Manufacturer: "Korvane"
*Product: "(Hostile)"
*NickName: "Korvane Hostile"
*ShortNickName: "Korvane Hostile"
)PPD";
}

std::string ModelLine(std::string_view model) { return "*ModelName: \"" + std::string(model) + "\"\n"; }

class HostilePPD : public PaneTest {
protected:
    struct Outcome {
        OSStatus status;
        std::string echoed;
        CFIndex unclosed;
    };

    // Initialize's answer for a printer with the PPD at path, what the
    // printer check wrote to stderr, and how many opens were left unclosed.
    Outcome InitializeFor(const std::string &path) {
        Open(KVX_PLUGINS_DIR, path);
        EXPECT_EQ(PaneTest::Prologue(), noErr);
        const CFIndex openedBefore = KVXPPDGetOpenCount();
        const CFIndex closedBefore = KVXPPDGetCloseCount();
        testing::internal::CaptureStderr();
        const OSStatus status = PaneTest::Initialize();
        const std::string echoed = testing::internal::GetCapturedStderr();
        const CFIndex unclosed = (KVXPPDGetOpenCount() - openedBefore) - (KVXPPDGetCloseCount() - closedBefore);
        EXPECT_EQ(Terminate(), noErr);
        return {status, echoed, unclosed};
    }

    Outcome InitializeWith(std::string_view content) { return InitializeFor(folder_.write("printer.ppd", content)); }

    TempFolder folder_;
};

TEST_F(HostilePPD, OnlyTheFirstModelNameOfAReadableFileCounts) {
    std::mt19937 random(4750);
    std::string junk(10 * 1024 * 1024, '\0');
    for (char &byte : junk) byte = static_cast<char>(random());
    // libcups reads on past lines it does not know; the model line comes first.
    std::string junkAfterHeader = PPDHeader("ISOLatin1") + ModelLine(kSupportedModel);
    while (junkAfterHeader.size() < 10 * 1024 * 1024) junkAfterHeader += "*% " + std::string(200, 'j') + "\n";
    const std::string other = ModelLine("Korvane RM-2200");

    const struct {
        const char *what;
        std::string content;
        OSStatus status = kPaneNotShown;
    } cases[] = {
        {"empty", ""},
        {"a property list", R"(<?xml version="1.0"?><plist><dict><key>ModelName</key><string>Korvane RM-4750</string></dict></plist>)"},
        {"ten megabytes of junk", junk},
        {"the right name behind a missing header", ModelLine(kSupportedModel)},
        {"junk after a good header", junkAfterHeader, noErr},
        {"the right name first", PPDHeader("ISOLatin1") + ModelLine(kSupportedModel) + other, noErr},
        {"the right name second", PPDHeader("ISOLatin1") + other + ModelLine(kSupportedModel)},
    };
    for (const auto &file : cases) {
        const Outcome outcome = InitializeWith(file.content);
        EXPECT_EQ(outcome.status, file.status) << file.what;
        EXPECT_EQ(outcome.unclosed, 0) << file.what;
    }
    const Outcome missing = InitializeFor((folder_.path() / "no-such.ppd").string());
    EXPECT_EQ(missing.status, kPaneNotShown);
    EXPECT_EQ(missing.unclosed, 0);
}

TEST_F(HostilePPD, OverlongModelNameLineIsRefusedWhole) {
    // libcups refuses a line past 255 bytes, so the name is never read, echoed or matched.
    const std::string longName = std::string(kSupportedModel) + std::string(300 - kSupportedModel.size(), 'x');
    const Outcome outcome = InitializeWith(PPDHeader("ISOLatin1") + ModelLine(longName));
    EXPECT_EQ(outcome.status, kPaneNotShown);
    EXPECT_EQ(outcome.unclosed, 0);
    EXPECT_EQ(outcome.echoed.find(kSupportedModel), std::string::npos) << outcome.echoed;

    // Spread over lines, the same name is read and cut to 255 bytes: still no match.
    const std::string spread = std::string(kSupportedModel) + "\n" + std::string(150, 'x') + "\n" + std::string(135, 'x');
    const Outcome cut = InitializeWith(PPDHeader("ISOLatin1") + ModelLine(spread));
    EXPECT_EQ(cut.status, kPaneNotShown);
    EXPECT_NE(cut.echoed.find(spread.substr(0, 255)), std::string::npos) << cut.echoed;
    EXPECT_EQ(cut.echoed.find(spread.substr(0, 256)), std::string::npos) << cut.echoed;
}

TEST_F(HostilePPD, HighBytesDecodeByTheFilesEncodingAndDecline) {
    // "é" is E9 in ISO Latin 1 and C3 A9 in UTF-8: both are the same name.
    const std::string latin1Name = std::string(kSupportedModel) + "\xE9";
    const std::string utf8Name = std::string(kSupportedModel) + "\xC3\xA9";
    for (const auto &[encoding, name] : {std::pair{"ISOLatin1", latin1Name}, {"UTF-8", utf8Name}}) {
        const Outcome outcome = InitializeWith(PPDHeader(encoding) + ModelLine(name));
        EXPECT_EQ(outcome.status, kPaneNotShown) << encoding;
        EXPECT_NE(outcome.echoed.find(utf8Name), std::string::npos) << encoding << ": " << outcome.echoed;
    }
    // A character that Mac Roman lacks cannot sneak a match either.
    const Outcome foreign = InitializeWith(PPDHeader("UTF-8") + ModelLine("Korvane RM\xE2\x80\x91" "4750"));
    EXPECT_EQ(foreign.status, kPaneNotShown);
}

}  // namespace
}  // namespace kvx::test
