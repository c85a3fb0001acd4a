// The dialog's print session: a printer-info ticket for the PPD and a
// print-settings ticket, stored in the session under their names.
#pragma once

#include <string>

#include "KVXHostSupport.hpp"
#include "holders.hpp"

namespace kvx::dialog {

class PrintSession {
public:
    // Throws DialogError: kExitUsage when the PPD file cannot be read,
    // kExitHostFailure when the host cannot make the session or a ticket.
    explicit PrintSession(const std::string &ppdPath);
    PrintSession(const PrintSession &) = delete;
    PrintSession &operator=(const PrintSession &) = delete;

    PMPrintSession Get() const { return session_.get(); }
    PMTicketRef PrinterInfoTicket() const { return printerInfoTicket_.get(); }
    // The print-settings ticket's PPD dictionary; borrowed from the ticket.
    CFMutableDictionaryRef PPDDict() const { return ppdDict_; }

private:
    // Declared before the tickets, so that the tickets go first.
    CFHolder<PMPrintSession> session_;
    TicketHolder printerInfoTicket_;
    TicketHolder printSettingsTicket_;
    CFMutableDictionaryRef ppdDict_ = nullptr;
};

}  // namespace kvx::dialog
