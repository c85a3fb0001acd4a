// kvx-dialog's window as a child process whose stdout (its --gui-trace
// lines) is read as it comes, with a deadline on every wait, so that a stuck
// window fails a test, never hangs it.
#pragma once

#include <functional>

#include "dialog/dialog_process.hpp"

namespace kvx::test {

class RunningDialog {
public:
    explicit RunningDialog(const std::vector<std::string> &arguments);
    ~RunningDialog();
    RunningDialog(const RunningDialog &) = delete;
    RunningDialog &operator=(const RunningDialog &) = delete;

    // The first line from now on (or among those read but not yet looked
    // at) that satisfies the predicate; throws std::runtime_error, with
    // every line read so far, at the deadline or the end of the output.
    Json WaitFor(const std::function<bool(const Json &)> &predicate, std::chrono::milliseconds deadline = 10s);
    // Every line read so far, parsed.
    const std::vector<Json> &Lines() const { return lines_; }

private:
    TempFolder folder_;
    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
    std::string transcript_;
    std::vector<Json> lines_;
    size_t looked_ = 0;
};

}  // namespace kvx::test
