// Script lines on a shown pane whose DIN and DC fields start enabled: the
// input is a script, one action per line, run line by line through the
// dialog's pane driver (a line the driver refuses is skipped). After every
// line a code field that held a code, at most five digits, still does,
// unless the line pasted, synced from the ticket or typed a character beyond
// 7-bit ASCII, which pass by design. When the pane is gone no timer is left
// to fire and the host's live objects are back at their start.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driven_pane.hpp"
#include "fuzz_check.hpp"
#include "memory_file.hpp"
#include "dialog/script/script_line.hpp"

namespace {

constexpr CFTimeInterval kPastEveryTimer = 2 * 86400;
constexpr std::string_view kBothFieldsEnabled =
    "<plist><dict><key>PrintMode</key><string>Private</string>"
    "<key>DeptCode</key><string>True</string></dict></plist>";

bool HoldsACode(const nlohmann::json &field) {
    const std::string text = field.at("text");
    return text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos;
}

// Decided from the action the driver runs, not from the line's text, which
// may start with blanks.
bool MayPutAnything(std::string_view line) {
    for (const char byte : line)
        if (static_cast<unsigned char>(byte) >= 0x80) return true;
    const std::optional<kvx::dialog::Action> action = kvx::dialog::ParseScriptLine(line);
    return action && (action->kind == kvx::dialog::ActionKind::SetText ||
                      (action->kind == kvx::dialog::ActionKind::Sync &&
                       action->direction == kvx::dialog::SyncDirection::FromTicket));
}

void RunScript(std::string_view script, const std::string &settings) {
    kvx::fuzz::DrivenPane pane({"--settings", settings});
    FUZZ_CHECK(pane.shown(), "the pane was not shown");
    nlohmann::json before = pane.report("show");
    while (!script.empty()) {
        const size_t end = script.find('\n');
        const std::string_view line = script.substr(0, end);
        script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
        if (!pane.run(line)) continue;
        const nlohmann::json after = pane.report("show");
        if (after.is_null()) return;  // closed by ok or cancel
        for (const char *field : {"din", "dc"})
            if (HoldsACode(before[field]) && !MayPutAnything(line))
                FUZZ_CHECK(HoldsACode(after.at(field)), "a code field took more than five digits or a non-digit");
        before = after;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const kvx::fuzz::MemoryFile settings(reinterpret_cast<const uint8_t *>(kBothFieldsEnabled.data()),
                                                kBothFieldsEnabled.size());
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    RunScript({reinterpret_cast<const char *>(data), size}, settings.path());
    FUZZ_CHECK(KVXRunLoopRunDueTimers(CFRunLoopGetCurrent(), CFAbsoluteTimeGetCurrent() + kPastEveryTimer) == 0,
               "a timer outlived its pane");
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "the script left host objects alive");
    return 0;
}
