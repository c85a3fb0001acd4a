// The dialog's print session: a printer-info ticket for the printer's PPD
// and a print-settings ticket, stored in the session under their names. The
// printer is a PPD file or a CUPS queue, whose PPD is fetched into a private
// file for as long as the session lives. The dialog parses that PPD once,
// here, for everything it needs of it (defaults, option checks, the model
// named in messages); the pane's printer check opens it on its own, through
// the host.
#pragma once

#include <optional>
#include <string>

#include "KVXHostSupport.hpp"
#include "cli/options.hpp"
#include "cups/ppd_file.hpp"
#include "cups/printers.hpp"
#include "pane/host_holders.hpp"

namespace kvx::dialog {

class PrintSession {
public:
    // For --printer QUEUE or else --ppd FILE; the print-settings ticket
    // starts as LoadStartingSettings says. A queue is fetched here unless
    // `fetched` brings it. Throws DialogError: kExitUsage
    // when the PPD cannot be read (a file without bytes, compressed or not)
    // or fetched or the settings file is unusable, kExitHostFailure when the
    // host cannot make the session or a ticket.
    explicit PrintSession(const Options &options, std::optional<FetchedQueue> fetched = std::nullopt);
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
    // Declared first, so that the fetched PPD outlives the tickets bound to it.
    std::optional<FetchedQueue> fetchedQueue_;
    std::string ppdPath_;
    PPDFile ppd_;
    // Declared before the tickets, so that the tickets go first.
    CFHolder<PMPrintSession> session_;
    TicketHolder printerInfoTicket_;
    TicketHolder printSettingsTicket_;
    CFMutableDictionaryRef ppdDict_ = nullptr;
};

}  // namespace kvx::dialog
