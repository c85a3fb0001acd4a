#include "session/printing/print_session.hpp"

#include <cups/file.h>

#include "session/messages.hpp"
#include "session/session_error.hpp"

namespace kvx::session {
namespace {

constexpr UInt32 kPPDDictNodeIndex = 0;

// The path, once it names a file with at least one byte to read. libcups
// reads compressed PPDs as they decompress, so one that holds nothing is
// as unreadable as an empty file; a directory opens but reads nothing.
const std::string &RequireReadablePPD(const std::string &path) {
    cups_file_t *file = cupsFileOpen(path.c_str(), "r");
    const bool hasBytes = file != nullptr && cupsFilePeekChar(file) != EOF;
    if (file != nullptr) cupsFileClose(file);
    if (!hasBytes) throw SessionError(FailureKind::UnusableInput, "cannot read the PPD file " + Quoted(path));
    return path;
}

PMPrintSession CreateSession() {
    PMPrintSession session = nullptr;
    if (const OSStatus status = KVXPrintSessionCreate(&session); status != noErr) {
        throw SessionError(FailureKind::HostFailure, "cannot make a print session: status " + std::to_string(status));
    }
    return session;
}

}  // namespace

PrintSession::PrintSession(std::string ppdPath) : PrintSession(std::move(ppdPath), nullptr) {}

PrintSession::PrintSession(std::shared_ptr<const FetchedPPD> fetched) : PrintSession(fetched->path(), fetched) {}

PrintSession::PrintSession(std::string ppdPath, std::shared_ptr<const FetchedPPD> fetched)
    : fetched_(std::move(fetched)),
      ppdPath_(std::move(ppdPath)),
      ppd_(RequireReadablePPD(ppdPath_)),
      session_(CreateSession()),
      printerInfoTicket_(KVXTicketCreatePrinterInfo(ppdPath_.c_str())),
      printSettingsTicket_(KVXTicketCreatePrintSettings()) {
    if (printerInfoTicket_.get() == 0 || printSettingsTicket_.get() == 0) {
        throw SessionError(FailureKind::HostFailure, "cannot make the print session's tickets");
    }
    OSStatus status = KVXSessionSetTicket(session_.get(), CFSTR(kPDE_PMPrinterInfoRef), printerInfoTicket_.get());
    if (status == noErr) {
        status = KVXSessionSetTicket(session_.get(), CFSTR(kPDE_PMPrintSettingsRef), printSettingsTicket_.get());
    }
    if (status == noErr) {
        status = PMTicketGetPPDDict(printSettingsTicket_.get(), kPPDDictNodeIndex, kPPDDictNodeIndex, &ppdDict_);
    }
    if (status != noErr || ppdDict_ == nullptr) {
        throw SessionError(FailureKind::HostFailure,
                           "cannot set up the print session's tickets: status " + std::to_string(status));
    }
}

}  // namespace kvx::session
