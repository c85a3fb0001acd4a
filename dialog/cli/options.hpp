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
    // CUPS: the queue whose PPD the session is bound to instead of ppdPath.
    std::optional<std::string> printerQueue;
    bool printerNamed = false;  // --ppd or --printer was given
    bool listPrinters = false;
    bool json = false;
    // At OK: print the job's options as lp arguments, store them as the
    // queue's defaults, submit printPath to the queue.
    bool lpOptions = false;
    bool saveDefaults = false;
    std::optional<std::string> printPath;
    // Start from the defaults when the settings file cannot be read.
    bool ignoreBadSettings = false;
};

// The options of argv (without the program name), defaults filled in.
// Throws DialogError with kExitUsage on an unknown option, a missing value,
// --screenshot without --script, a missing --script when there is no
// display for the window (none is needed by --list-printers), --ppd with
// --printer, or --print or --save-defaults without --printer.
Options ParseOptions(std::span<char *const> arguments);

}  // namespace kvx::dialog
