// The dialog's print session: a printer-info ticket for the printer's PPD
// and a print-settings ticket, stored in the session under their names. The
// printer is a PPD file or a CUPS queue, whose PPD is fetched into a private
// file for as long as the session lives.
#pragma once

#include <optional>
#include <string>

#include "KVXHostSupport.hpp"
#include "pane/host_holders.hpp"
#include "cli/options.hpp"
#include "cups/printers.hpp"

namespace kvx::dialog {

class PrintSession {
public:
    // For --printer QUEUE or else --ppd FILE; the print-settings ticket
    // starts from --settings, else from the queue's defaults. Throws
    // DialogError: kExitUsage when the PPD cannot be read or fetched or the
    // settings file is unusable, kExitHostFailure when the host cannot make
    // the session or a ticket.
    explicit PrintSession(const Options &options);
    PrintSession(const PrintSession &) = delete;
    PrintSession &operator=(const PrintSession &) = delete;

    PMPrintSession SessionRef() const { return session_.get(); }
    PMTicketRef PrinterInfoTicket() const { return printerInfoTicket_.get(); }
    // The print-settings ticket's PPD dictionary; borrowed from the ticket.
    CFMutableDictionaryRef PPDDict() const { return ppdDict_; }
    // The PPD file the printer-info ticket is bound to.
    const std::string &PPDPath() const { return ppdPath_; }

private:
    // Declared first, so that the fetched PPD outlives the tickets bound to it.
    std::optional<FetchedPPD> fetchedPPD_;
    std::string ppdPath_;
    // Declared before the tickets, so that the tickets go first.
    CFHolder<PMPrintSession> session_;
    TicketHolder printerInfoTicket_;
    TicketHolder printSettingsTicket_;
    CFMutableDictionaryRef ppdDict_ = nullptr;
};

}  // namespace kvx::dialog
