// Ticket -> pane -> ticket on an arbitrary property list: the input is the
// settings file the dialog starts from (bytes that are no property list of
// a dictionary are refused and end there). The pane syncs from the ticket,
// gives its summary and syncs back, twice. Afterwards every key that is not
// the pane's still holds its very own value, every pane key is written, a
// digit key holds one character, and the second round trip writes what the
// first did. No host object outlives the pane.
#include <cstdint>
#include <set>
#include <string>

#include "driven_pane.hpp"
#include "fuzz_check.hpp"
#include "memory_file.hpp"

namespace {

// The PPD main keywords that the pane reads and writes.
const std::set<std::string> kPaneKeys{"PrintMode", "DeptCode",  "ZELOrientation", "DINDigit1", "DINDigit2",
                                      "DINDigit3", "DINDigit4", "DINDigit5",      "DCDigit1",  "DCDigit2",
                                      "DCDigit3",  "DCDigit4",  "DCDigit5"};

// One UTF-16 unit becomes one to three UTF-8 bytes in the report.
bool HoldsOneCharacter(const nlohmann::json &value) {
    return value.is_string() && !value.get<std::string>().empty() && value.get<std::string>().size() <= 3;
}

void RunPane(const std::string &settings) {
    kvx::fuzz::DrivenPane pane({"--settings", settings});
    if (!pane.driven()) return;
    FUZZ_CHECK(pane.shown(), "the pane was not shown");
    const nlohmann::json input = pane.report("ticket");
    FUZZ_CHECK(pane.run("sync from-ticket") && pane.report("summary")["status"] == 0, "no summary");
    FUZZ_CHECK(pane.run("sync to-ticket"), "the sync to the ticket failed");
    const nlohmann::json written = pane.report("ticket");
    for (const auto &[key, value] : input.items())
        if (!kPaneKeys.contains(key))
            FUZZ_CHECK(written.contains(key) && written.at(key) == value, "a key that is not the pane's changed");
    size_t paneKeys = 0;
    for (const auto &[key, value] : written.items()) {
        if (!kPaneKeys.contains(key)) continue;
        ++paneKeys;
        FUZZ_CHECK(value.is_string(), "a pane key holds no string");
        if (key.find("Digit") != std::string::npos) FUZZ_CHECK(HoldsOneCharacter(value), "a digit key is no digit");
    }
    FUZZ_CHECK(paneKeys == kPaneKeys.size(), "a pane key was not written");
    FUZZ_CHECK(pane.run("sync from-ticket") && pane.run("sync to-ticket"), "the second round trip failed");
    FUZZ_CHECK(pane.report("ticket") == written, "a second round trip wrote otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    {
        const kvx::fuzz::MemoryFile file(data, size);
        FUZZ_CHECK(!file.path().empty(), "no memory file for the input");
        RunPane(file.path());
    }
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "the round trip left host objects alive");
    return 0;
}
