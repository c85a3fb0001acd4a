// The exit statuses of kvx-dialog and the failure that carries one to main.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "session/session_error.hpp"

namespace kvx::dialog {

constexpr int kExitSuccess = 0;
// The host could not make a session, ticket, window or the like.
constexpr int kExitHostFailure = 1;
// Bad usage, an unusable file given on the command line, or a bad script line.
constexpr int kExitUsage = 2;
// An action needed the pane, but no pane is shown.
constexpr int kExitNoPane = 3;

// Ends the run: main prints the message and exits with the status.
class DialogError : public std::runtime_error {
public:
    DialogError(int exitStatus, const std::string &message) : std::runtime_error(message), exitStatus_(exitStatus) {}
    int exitStatus() const { return exitStatus_; }

private:
    int exitStatus_;
};

// What the print session's failure means for the run: the person's input
// was unusable (kExitUsage), or the host failed (kExitHostFailure).
int ExitStatusOf(const session::SessionError &error);

// Runs the dialog's part and gives its exit status: 0, a DialogError's
// status, a SessionError's as ExitStatusOf says, or kExitHostFailure for
// any other failure; the failure's message
// is said on stderr.
int ExitStatusOfRun(const std::function<void()> &run);

}  // namespace kvx::dialog
