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
    std::string scriptPath;  // kStandardInputName: read the script from stdin; empty: none
    bool helpRequested = false;
    // The dialog's window: asked for with --gui, or the default without a
    // script when a display is there.
    bool windowRequested = false;
    std::optional<std::string> screenshotPath;  // needs --script: render the window after it and exit
    bool windowTrace = false;                   // a testing aid: `show` JSON after every action in the window
};

// The options of argv (without the program name), defaults filled in.
// Throws DialogError with kExitUsage on an unknown option, a missing value,
// --screenshot without --script, or a missing --script when there is no
// display for the window.
Options ParseOptions(std::span<char *const> arguments);

}  // namespace kvx::dialog
