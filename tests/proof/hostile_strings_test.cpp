// A broken string table in the pane's bundle: the table reads as empty, the
// summary keeps all its rows and values, and every title is the fallback.
#include <string>

#include "pane_harness.hpp"

namespace kvx::test {
namespace {

constexpr std::string_view kGoodTable = "\"DINTITLE\" = \"Print Mode\";\n\"DIN\" = \"Private Print DIN\";\n";
constexpr std::string_view kMissingTitle = "Missing Localizable.strings";

std::string UTF16LittleEndian(std::string_view ascii) {
    std::string bytes;
    for (const char c : ascii) bytes += {c, '\0'};
    return bytes;
}

class HostileStrings : public PaneTest {};

TEST_F(HostileStrings, BrokenTableLeavesEveryRowWithTheFallbackTitle) {
    const struct {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"truncated inside a value", std::string(kGoodTable.substr(0, kGoodTable.size() - 8))},
        {"truncated inside a UTF-16 unit", "\xFF\xFE" + UTF16LittleEndian(kGoodTable).substr(0, 41)},
        {"big-endian mark on little-endian text", "\xFE\xFF" + UTF16LittleEndian(kGoodTable)},
        {"UTF-16 mark on UTF-8 text", "\xFF\xFE" + std::string(kGoodTable)},
        {"a key without value", std::string(kGoodTable) + "\"DC\";\n"},
    };
    for (const auto &broken : cases) {
        BundleCopy bundle;
        bundle.writeResource("English.lproj/Localizable.strings", broken.bytes);
        Open(bundle.pluginsFolder());
        SetTicketValue("PrintMode", "Private");
        ASSERT_EQ(Prologue(), noErr) << broken.what;
        ASSERT_EQ(Initialize(), noErr) << broken.what;
        testing::internal::CaptureStderr();
        const Summary summary = GetSummary();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("Localizable.strings"), std::string::npos) << broken.what << ": the fault is reported";
        ASSERT_EQ(summary.status, noErr) << broken.what;
        ASSERT_EQ(summary.rows.size(), 2u) << broken.what;
        EXPECT_EQ(summary.rows[0], std::pair(std::string(kMissingTitle), std::string("Private (DIN)"))) << broken.what;
        EXPECT_EQ(summary.rows[1], std::pair(std::string(kMissingTitle), std::string("00000"))) << broken.what;
        EXPECT_EQ(Terminate(), noErr);
    }
}

}  // namespace
}  // namespace kvx::test
