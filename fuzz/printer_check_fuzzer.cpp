// The printer check on arbitrary PPD text, through the loaded plug-in: the
// input becomes the printer's PPD, and a full Prologue, Initialize and
// Terminate runs. Initialize must build the pane exactly when the PPD's
// first "ModelName" main keyword holds "Korvane RM-4750", and decline with
// -9530 otherwise. libcups' own attribute lookup is the oracle: under every
// encoding the host converts from, the ASCII name comes only from its own
// ASCII bytes, so the raw value must equal the name. Every PPD opened is
// closed again and no host object outlives the pane.

// libcups marks its PPD API deprecated; it is still the reader CUPS ships.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include <cups/ppd.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz_check.hpp"
#include "memory_file.hpp"
#include "pane_driver.hpp"

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

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    kvx::fuzz::PaneOperations();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    const CFIndex opensAtStart = KVXPPDGetOpenCount();
    const CFIndex closesAtStart = KVXPPDGetCloseCount();
    {
        const kvx::fuzz::MemoryFile file(data, size);
        FUZZ_CHECK(!file.path().empty(), "no memory file for the input");
        const bool supported = OracleSaysSupported(file.path().c_str());
        const kvx::fuzz::PrintJob job(file.path());
        const kvx::fuzz::DialogWindow dialog;
        const kvx::fuzz::Pane pane(job, dialog);
        FUZZ_CHECK(pane.prologueStatus() == noErr, "the prologue failed");
        if (supported) {
            FUZZ_CHECK(pane.initializeStatus() == noErr, "the supported printer got no pane");
            FUZZ_CHECK(pane.summary().status == noErr, "the pane built for the supported printer has no summary");
        } else {
            FUZZ_CHECK(pane.initializeStatus() == kvx::fuzz::kPaneNotShown, "another printer was not declined");
        }
    }
    FUZZ_CHECK(KVXPPDGetOpenCount() - opensAtStart <= 1, "the check opened the PPD more than once");
    FUZZ_CHECK(KVXPPDGetOpenCount() - opensAtStart == KVXPPDGetCloseCount() - closesAtStart,
               "a PPD was left open");
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "the printer check left host objects alive");
    return 0;
}
