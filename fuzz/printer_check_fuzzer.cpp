// The printer check on arbitrary PPD text: the input becomes the printer's
// PPD of a dialog run through the pane driver. The pane must be shown exactly
// when the PPD's first "ModelName" main keyword holds "Korvane RM-4750", by
// libcups' own attribute lookup (under every encoding the host converts
// from, the ASCII name comes only from its own ASCII bytes), and then give a
// summary. Every PPD the host opened is closed again and no host object
// outlives the pane.

// libcups marks its PPD API deprecated; it is still the reader CUPS ships.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include <cups/ppd.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "driven_pane.hpp"
#include "fuzz_check.hpp"
#include "memory_file.hpp"

namespace {

constexpr const char *kModelNameKeyword = "ModelName";
constexpr const char *kSupportedModel = "Korvane RM-4750";

struct PPDCloser {
    void operator()(ppd_file_t *ppd) const { ppdClose(ppd); }
};

// libcups finds attributes ignoring case; the check wants the keyword as
// written, so the first exact one among the matches counts.
bool OracleSaysSupported(const char *path) {
    const std::unique_ptr<ppd_file_t, PPDCloser> ppd(ppdOpenFile(path));
    if (!ppd) return false;
    for (ppd_attr_t *attr = ppdFindAttr(ppd.get(), kModelNameKeyword, nullptr); attr != nullptr;
         attr = ppdFindNextAttr(ppd.get(), kModelNameKeyword, nullptr)) {
        if (std::strcmp(attr->name, kModelNameKeyword) == 0)
            return attr->value != nullptr && std::strcmp(attr->value, kSupportedModel) == 0;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    const CFIndex opensAtStart = KVXPPDGetOpenCount();
    const CFIndex closesAtStart = KVXPPDGetCloseCount();
    {
        const kvx::fuzz::MemoryFile file(data, size);
        FUZZ_CHECK(!file.path().empty(), "no memory file for the input");
        const bool supported = OracleSaysSupported(file.path().c_str());
        kvx::fuzz::DrivenPane pane({"--ppd", file.path()});
        FUZZ_CHECK(pane.shown() == supported, supported ? "the supported printer got no pane" : "another printer got the pane");
        if (supported) FUZZ_CHECK(pane.report("summary")["status"] == 0, "the pane has no summary");
    }
    FUZZ_CHECK(KVXPPDGetOpenCount() - opensAtStart == KVXPPDGetCloseCount() - closesAtStart, "a PPD was left open");
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "the printer check left host objects alive");
    return 0;
}
