// The scheduler's printers, listed on a thread of their own and handed to
// the GTK main loop, so that the window opens at once and never waits for a
// slow or silent scheduler.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cups/printers.hpp"

namespace kvx::dialog {

class BackgroundPrinterList {
public:
    // Called on the main loop once: the printers, or why there are none.
    using Delivery = std::function<void(std::vector<PrinterDestination> printers, std::string failure)>;

    // Starts listing. GTK's main loop delivers the result.
    explicit BackgroundPrinterList(Delivery deliver);
    // Nothing is delivered after this; a listing still waiting for the
    // scheduler finishes on its own and is thrown away.
    ~BackgroundPrinterList();
    BackgroundPrinterList(const BackgroundPrinterList &) = delete;
    BackgroundPrinterList &operator=(const BackgroundPrinterList &) = delete;

    // What the listing thread hands its result to; shared with it.
    struct Receiver;

private:
    std::shared_ptr<Receiver> receiver_;
};

}  // namespace kvx::dialog
