// The command line of kvx-dialog.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kvx::dialog {

constexpr std::string_view kStandardInputName = "-";

struct Options {
    std::string ppdPath;
    std::string plugInsFolder;
    std::optional<std::string> settingsPath;
    std::optional<std::string> savePath;
    std::string scriptPath;  // kStandardInputName: read the script from stdin
    bool helpRequested = false;
};

// The options of argv (without the program name), defaults filled in.
// Throws DialogError with kExitUsage on an unknown option, a missing value or
// a missing --script.
Options ParseOptions(std::span<char *const> arguments);

}  // namespace kvx::dialog
