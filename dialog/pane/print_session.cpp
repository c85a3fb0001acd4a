#include "pane/print_session.hpp"

#include <fstream>

#include "cli/dialog_error.hpp"
#include "cli/messages.hpp"
#include "settings/starting_settings.hpp"

namespace kvx::dialog {
namespace {

constexpr UInt32 kPPDDictNodeIndex = 0;

void RequireReadableFile(const std::string &path) {
    // An ifstream opens a directory too; reading one byte tells them apart.
    std::ifstream file(path, std::ios::binary);
    if (!file || file.peek() == std::ifstream::traits_type::eof()) {
        throw DialogError(kExitUsage, "cannot read the PPD file " + Quoted(path));
    }
}

PMPrintSession CreateSession(const std::string &ppdPath) {
    RequireReadableFile(ppdPath);
    PMPrintSession session = nullptr;
    if (const OSStatus status = KVXPrintSessionCreate(&session); status != noErr) {
        throw DialogError(kExitHostFailure, "cannot make a print session: status " + std::to_string(status));
    }
    return session;
}

std::optional<FetchedPPD> FetchQueuePPD(const Options &options) {
    if (!options.printerQueue) return std::nullopt;
    return FetchedPPD(*options.printerQueue);
}

}  // namespace

PrintSession::PrintSession(const Options &options)
    : fetchedPPD_(FetchQueuePPD(options)),
      ppdPath_(fetchedPPD_ ? fetchedPPD_->path() : options.ppdPath),
      session_(CreateSession(ppdPath_)),
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
    LoadStartingSettings(options, ppdPath_, ppdDict_);
}

}  // namespace kvx::dialog
