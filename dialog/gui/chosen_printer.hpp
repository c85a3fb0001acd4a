// The printer chosen in the window, with everything the dialog holds for it:
// the print session (a queue's PPD fetched from the scheduler), the pane's
// lifecycle and the script runner, whose `ok` and `cancel` the window's
// Print and Cancel perform.
#pragma once

#include <memory>
#include <ostream>

#include "accept_actions.hpp"
#include "options.hpp"
#include "pane_host.hpp"
#include "printer_choices.hpp"
#include "script_runner.hpp"
#include "session.hpp"

namespace kvx::dialog {

class ChosenPrinter {
public:
    // The command line's options with the choice as the printer. Runs the
    // pane's lifecycle up to Open. Throws DialogError as PrintSession and
    // AcceptActions do.
    ChosenPrinter(const PrinterChoice &choice, const Options &options, std::ostream &reports);

    PrintSession &Session() { return *session_; }
    PaneHost &Pane() { return *pane_; }
    ScriptRunner &Runner() { return *runner_; }
    // Whether `ok` prints, submits or stores anything beyond the ticket.
    bool AcceptDoesMore() const { return acceptActions_->AnyRequested(); }

private:
    // Declared in the reverse of the order in which they go.
    Options options_;
    std::unique_ptr<PrintSession> session_;
    std::unique_ptr<AcceptActions> acceptActions_;
    std::unique_ptr<PaneHost> pane_;
    std::unique_ptr<ScriptRunner> runner_;
};

}  // namespace kvx::dialog
