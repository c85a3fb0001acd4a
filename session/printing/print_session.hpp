// A print session for one printer: a printer-info ticket bound to the
// printer's PPD and a print-settings ticket, stored in a host print session
// under their names, as a print dialog hands them to its panes. The
// printer is a PPD file, or a queue whose PPD was fetched into a private
// file for as long as the session lives. Its PPD is parsed once, here, for
// what the dialogs need of it (defaults, option checks, the model named in
// messages); the pane's printer check opens it on its own, through the host.
#pragma once

#include <memory>
#include <string>

#include "KVXHostSupport.hpp"
#include "session/cups/ppd_fetch.hpp"
#include "session/cups/ppd_file.hpp"
#include "session/printing/host_holders.hpp"

namespace kvx::session {

class PrintSession {
public:
    // For the PPD file at ppdPath. Throws SessionError: unusable input when
    // the PPD cannot be read (a file without bytes, compressed or not), host
    // failure when the host cannot make the session or a ticket.
    explicit PrintSession(std::string ppdPath);
    // For a queue's fetched PPD, kept for as long as the session.
    explicit PrintSession(std::shared_ptr<const FetchedPPD> fetched);
    PrintSession(const PrintSession &) = delete;
    PrintSession &operator=(const PrintSession &) = delete;

    PMPrintSession SessionRef() const { return session_.get(); }
    PMTicketRef PrinterInfoTicket() const { return printerInfoTicket_.get(); }
    // The print-settings ticket's PPD dictionary; borrowed from the ticket.
    CFMutableDictionaryRef PPDDict() const { return ppdDict_; }
    // The PPD file the printer-info ticket is bound to.
    const std::string &PPDPath() const { return ppdPath_; }
    // That PPD as libcups reads it; false when libcups cannot parse it.
    const PPDFile &PPD() const { return ppd_; }

private:
    PrintSession(std::string ppdPath, std::shared_ptr<const FetchedPPD> fetched);

    // Declared first, so that the fetched PPD outlives the tickets bound to it.
    std::shared_ptr<const FetchedPPD> fetched_;
    std::string ppdPath_;
    PPDFile ppd_;
    // Declared before the tickets, so that the tickets go first.
    CFHolder<PMPrintSession> session_;
    TicketHolder printerInfoTicket_;
    TicketHolder printSettingsTicket_;
    CFMutableDictionaryRef ppdDict_ = nullptr;
};

}  // namespace kvx::session
