// The printer check on arbitrary PPD text: the input becomes the printer's
// PPD of a dialog run through the pane driver. The pane is shown only for a
// PPD that holds the supported model's quoted name byte for byte (no other
// case, no longer name, under every encoding the host converts from), and
// then gives a summary. Every PPD the host opened is closed again and no
// host object outlives the pane. Which PPDs get the pane is proven by
// tests/scenarios/hostile.scenario.
#include <cstdint>
#include <string_view>

#include "driven_pane.hpp"
#include "fuzz_check.hpp"
#include "memory_file.hpp"

namespace {

constexpr std::string_view kQuotedSupportedModel = "\"Korvane RM-4750\"";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    const CFIndex opensAtStart = KVXPPDGetOpenCount();
    const CFIndex closesAtStart = KVXPPDGetCloseCount();
    {
        const kvx::fuzz::MemoryFile file(data, size);
        FUZZ_CHECK(!file.path().empty(), "no memory file for the input");
        kvx::fuzz::DrivenPane pane({"--ppd", file.path()});
        if (pane.shown()) {
            const std::string_view text(reinterpret_cast<const char *>(data), size);
            FUZZ_CHECK(text.find(kQuotedSupportedModel) != std::string_view::npos, "a printer of another model got the pane");
            FUZZ_CHECK(pane.report("summary")["status"] == 0, "the pane has no summary");
        }
    }
    FUZZ_CHECK(KVXPPDGetOpenCount() - opensAtStart == KVXPPDGetCloseCount() - closesAtStart, "a PPD was left open");
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "the printer check left host objects alive");
    return 0;
}
