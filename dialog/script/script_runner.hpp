// Runs a script's actions, line by line, on the dialog: its pane, its print
// session and the JSON reports on stdout.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "session/printing/pane_host.hpp"
#include "dialog/script/script_line.hpp"
#include "session/printing/print_session.hpp"

namespace kvx::dialog {

class ScriptRunner {
public:
    // savePath: where `ok` saves the settings, if anywhere; onAccepted: what
    // `ok` does after that (it may throw DialogError).
    ScriptRunner(session::PrintSession &session, session::PaneHost &pane, std::optional<std::string> savePath, std::ostream &reports,
                 std::function<void()> onAccepted = {});

    // Runs one line of the script and then the run loop once. Throws
    // DialogError: kExitUsage for a bad line, kExitNoPane for an action that
    // needs the pane when none is shown; the message names the line.
    void RunLine(int lineNumber, std::string_view line);
    // The end of the script: cancels the dialog unless it was closed.
    void Finish();

private:
    void Perform(const Action &action);
    void PerformOnControl(const Action &action);
    void Close(session::DialogOutcome outcome);
    void Report(const std::string &json);

    session::PrintSession &session_;
    session::PaneHost &pane_;
    std::optional<std::string> savePath_;
    std::ostream &reports_;
    std::function<void()> onAccepted_;
    std::string currentLabel_;  // the line under way, for messages
    bool closed_ = false;
};

}  // namespace kvx::dialog
