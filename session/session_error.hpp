// What the print session could not do, and whose the fault is: what the
// person gave (a PPD that cannot be read, a queue the scheduler does not
// know, a scheduler that does not answer) or the host's (a session or a
// ticket it could not make). kvx-dialog turns them into its exit statuses.
#pragma once

#include <stdexcept>
#include <string>

namespace kvx::session {

enum class FailureKind { UnusableInput, HostFailure };

class SessionError : public std::runtime_error {
public:
    SessionError(FailureKind kind, const std::string &message) : std::runtime_error(message), kind_(kind) {}
    FailureKind kind() const { return kind_; }

private:
    FailureKind kind_;
};

}  // namespace kvx::session
