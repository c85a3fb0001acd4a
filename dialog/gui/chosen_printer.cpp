#include "chosen_printer.hpp"

namespace kvx::dialog {
namespace {

Options OptionsFor(const PrinterChoice &choice, Options options) {
    if (choice.queue.empty()) {
        options.ppdPath = choice.ppdPath;
        options.printerQueue.reset();
    } else {
        options.printerQueue = choice.queue;
    }
    return options;
}

}  // namespace

ChosenPrinter::ChosenPrinter(const PrinterChoice &choice, const Options &options, std::ostream &reports)
    : options_(OptionsFor(choice, options)) {
    session_ = std::make_unique<PrintSession>(options_);
    acceptActions_ = std::make_unique<AcceptActions>(options_, *session_, reports);
    pane_ = std::make_unique<PaneHost>(options_.plugInsFolder, *session_);
    runner_ = std::make_unique<ScriptRunner>(*session_, *pane_, options_.savePath, reports,
                                             [this] { acceptActions_->Perform(session_->PPDDict()); });
}

}  // namespace kvx::dialog
