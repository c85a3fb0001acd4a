// The one pane driver: a print session for a printer, the pane shown in it
// and the script runner over both. kvx-dialog's script mode, its window,
// the tests, the fuzz targets and the benchmarks all drive a pane through
// this class, by feeding it script lines and reading the JSON lines it
// writes.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

#include "dialog/cli/options.hpp"
#include "dialog/cups/accept_actions.hpp"
#include "dialog/cups/printers.hpp"
#include "session/printing/pane_host.hpp"
#include "session/printing/print_session.hpp"
#include "dialog/script/script_runner.hpp"

namespace kvx::dialog {

class PaneDriver {
public:
    // The options' printer (ppdPath or printerQueue), plug-ins folder,
    // settings and what `ok` does (savePath, lpOptions, saveDefaults,
    // printPath); the pane's lifecycle runs up to Open. Reports and the
    // lines `ok` prints go to `reports`. A queue already fetched comes as
    // `fetched`. Throws DialogError and SessionError as the session, the
    // starting settings, AcceptActions and PaneHost do.
    PaneDriver(Options options, std::ostream &reports, std::optional<FetchedQueue> fetched = std::nullopt);
    PaneDriver(const PaneDriver &) = delete;
    PaneDriver &operator=(const PaneDriver &) = delete;

    // One script line, then the run loop once; throws DialogError as
    // ScriptRunner::RunLine does.
    void RunLine(int lineNumber, std::string_view line) { runner_.RunLine(lineNumber, line); }
    // Every line of the script, numbered from 1, then Finish.
    void RunScript(std::istream &script);
    // The end of the script: cancels the dialog unless it was closed.
    void Finish() { runner_.Finish(); }

    session::PrintSession &Session() { return session_; }
    session::PaneHost &Pane() { return pane_; }
    // Whether `ok` prints, submits or stores anything beyond the ticket.
    bool AcceptDoesMore() const { return acceptActions_.AnyRequested(); }

private:
    // Declared in the order of their making: the print file is checked
    // before the pane is shown, and the pane goes before the session.
    Options options_;
    std::optional<FetchedQueue> queue_;
    session::PrintSession session_;
    AcceptActions acceptActions_;
    session::PaneHost pane_;
    ScriptRunner runner_;
};

}  // namespace kvx::dialog
