#include "window/background_printer_list.hpp"

#include <glib.h>

#include <thread>

#include "cli/dialog_error.hpp"

namespace kvx::dialog {

// Lives as long as the window wants the result or the listing runs; both
// touch `deliver` on the main loop only.
struct BackgroundPrinterList::Receiver {
    Delivery deliver;
};

namespace {

struct Result {
    std::shared_ptr<BackgroundPrinterList::Receiver> receiver;
    std::vector<PrinterDestination> printers;
    std::string failure;
};

gboolean DeliverResult(gpointer data) {
    Result &result = *static_cast<Result *>(data);
    if (result.receiver->deliver) result.receiver->deliver(std::move(result.printers), std::move(result.failure));
    return G_SOURCE_REMOVE;
}

void DestroyResult(gpointer data) {
    std::unique_ptr<Result>(static_cast<Result *>(data)).reset();
}

}  // namespace

BackgroundPrinterList::BackgroundPrinterList(Delivery deliver)
    : receiver_(std::make_shared<Receiver>(Receiver{std::move(deliver)})) {
    // Detached: a scheduler that never answers must not hold up the window's end.
    std::thread([receiver = receiver_] {
        auto result = std::make_unique<Result>();
        result->receiver = receiver;
        try {
            result->printers = ListPrinters(OnStall::Wait);
        } catch (const DialogError &error) {
            result->failure = error.what();
        }
        g_idle_add_full(G_PRIORITY_DEFAULT, DeliverResult, result.release(), DestroyResult);
    }).detach();
}

BackgroundPrinterList::~BackgroundPrinterList() {
    receiver_->deliver = nullptr;
}

}  // namespace kvx::dialog
