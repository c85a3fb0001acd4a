// Runs programs as child processes for the dialog's, CUPS and window tests:
// stdout read through a pipe with a deadline on every wait, stderr kept in a
// file, and the built kvx-dialog with a script in a temporary folder.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/temp_folder.hpp"

namespace kvx::test {

using namespace std::chrono_literals;
// The dialog's JSON lines, read strictly and with their keys in order.
using Json = nlohmann::ordered_json;

struct CommandResult {
    int exitStatus = -1;  // 128 + the signal when killed, at the deadline too
    std::string out;
    std::string err;

    // Each line of stdout, parsed as JSON.
    std::vector<Json> Reports() const;
};

// Starts argv (found on PATH) with stdin from `input`, stdout into a pipe
// whose end is returned in outRead and stderr into errPath; withoutDisplay
// takes DISPLAY and WAYLAND_DISPLAY from its environment.
pid_t StartProgram(const std::vector<std::string> &argv, const std::string &input, const std::string &errPath,
                   bool withoutDisplay, int &outRead);
// Appends what the pipe holds, waiting until `until`; false at its end.
bool ReadSome(int fd, std::string &into, std::chrono::steady_clock::time_point until);
int Reap(pid_t pid, bool kill);

// Runs argv to its end, or kills it at the deadline.
CommandResult RunCommand(const std::vector<std::string> &argv, std::chrono::milliseconds deadline = 60s,
                         bool withoutDisplay = false, const std::string &input = "/dev/null");

// Runs kvx-dialog, never on a display, in a temporary folder of its own.
class DialogProcess {
public:
    // With the arguments and the script given as --script FILE.
    CommandResult Run(std::string_view script, std::vector<std::string> arguments = {}) const;
    // With exactly these arguments, and stdin from the file when one is named.
    CommandResult RunWithArguments(const std::vector<std::string> &arguments, const std::string &input = "/dev/null") const;

    // A file of the test's temporary folder, written with these bytes.
    std::filesystem::path WriteFile(const std::string &name, std::string_view bytes) const {
        return folder_.write(name, bytes);
    }
    std::filesystem::path PathOf(const std::string &name) const { return folder_.path() / name; }

private:
    TempFolder folder_;
};

}  // namespace kvx::test
