// Runs kvx-dialog's window and the X tools that drive it as child processes:
// the dialog's stdout (its --gui-trace lines) is read as it comes, with a
// deadline on every wait, so that a stuck window fails a test, never hangs it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "bundle/TempFolder.hpp"
#include "dialog/json_reader.hpp"

namespace kvx::test {

using namespace std::chrono_literals;

struct CommandResult {
    int exitStatus = -1;  // -1: killed at the deadline
    std::string out;
    std::string err;
};

// Runs a program found on PATH to its end, or kills it at the deadline.
// withoutDisplay: DISPLAY and WAYLAND_DISPLAY are taken from its environment.
CommandResult RunCommand(const std::vector<std::string> &argv, std::chrono::milliseconds deadline = 15s,
                         bool withoutDisplay = false);

class RunningDialog {
public:
    // Starts kvx-dialog with the arguments.
    explicit RunningDialog(const std::vector<std::string> &arguments);
    ~RunningDialog();
    RunningDialog(const RunningDialog &) = delete;
    RunningDialog &operator=(const RunningDialog &) = delete;

    // The first line from now on (or among those read but not yet looked
    // at) that satisfies the predicate; throws std::runtime_error, with
    // every line read so far, at the deadline or the end of the output.
    JsonValue WaitFor(const std::function<bool(const JsonValue &)> &predicate, std::chrono::milliseconds deadline = 10s);
    // Every line read so far, parsed.
    const std::vector<JsonValue> &Lines() const { return lines_; }

private:
    bool ReadMore(std::chrono::steady_clock::time_point until);
    std::string Transcript() const;

    TempFolder folder_;
    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
    std::vector<std::string> rawLines_;
    std::vector<JsonValue> lines_;
    size_t looked_ = 0;
};

}  // namespace kvx::test
