#include "pane/print_session.hpp"

#include <cups/file.h>

#include "cli/dialog_error.hpp"
#include "cli/messages.hpp"
#include "settings/starting_settings.hpp"

namespace kvx::dialog {
namespace {

constexpr UInt32 kPPDDictNodeIndex = 0;

// The path, once it names a file with at least one byte to read. libcups
// reads compressed PPDs as they decompress, so one that holds nothing is
// as unreadable as an empty file; a directory opens but reads nothing.
const std::string &RequireReadablePPD(const std::string &path) {
    cups_file_t *file = cupsFileOpen(path.c_str(), "r");
    const bool hasBytes = file != nullptr && cupsFilePeekChar(file) != EOF;
    if (file != nullptr) cupsFileClose(file);
    if (!hasBytes) throw DialogError(kExitUsage, "cannot read the PPD file " + Quoted(path));
    return path;
}

PMPrintSession CreateSession() {
    PMPrintSession session = nullptr;
    if (const OSStatus status = KVXPrintSessionCreate(&session); status != noErr) {
        throw DialogError(kExitHostFailure, "cannot make a print session: status " + std::to_string(status));
    }
    return session;
}

std::optional<FetchedQueue> FetchIfQueue(const Options &options, std::optional<FetchedQueue> fetched) {
    if (!options.printerQueue || fetched) return fetched;
    return FetchQueue(*options.printerQueue);
}

}  // namespace

PrintSession::PrintSession(const Options &options, std::optional<FetchedQueue> fetched)
    : fetchedQueue_(FetchIfQueue(options, std::move(fetched))),
      ppdPath_(fetchedQueue_ ? fetchedQueue_->ppd.path() : options.ppdPath),
      ppd_(RequireReadablePPD(ppdPath_)),
      session_(CreateSession()),
      printerInfoTicket_(KVXTicketCreatePrinterInfo(ppdPath_.c_str())),
      printSettingsTicket_(KVXTicketCreatePrintSettings()) {
    if (printerInfoTicket_.get() == 0 || printSettingsTicket_.get() == 0) {
        throw DialogError(kExitHostFailure, "cannot make the print session's tickets");
    }
    OSStatus status = KVXSessionSetTicket(session_.get(), CFSTR(kPDE_PMPrinterInfoRef), printerInfoTicket_.get());
    if (status == noErr) {
        status = KVXSessionSetTicket(session_.get(), CFSTR(kPDE_PMPrintSettingsRef), printSettingsTicket_.get());
    }
    if (status == noErr) {
        status = PMTicketGetPPDDict(printSettingsTicket_.get(), kPPDDictNodeIndex, kPPDDictNodeIndex, &ppdDict_);
    }
    if (status != noErr || ppdDict_ == nullptr) {
        throw DialogError(kExitHostFailure, "cannot set up the print session's tickets: status " +
                                                std::to_string(status));
    }
    LoadStartingSettings(options, ppd_, fetchedQueue_ ? fetchedQueue_->userDefaults : JobOptions(), ppdDict_);
}

}  // namespace kvx::dialog
