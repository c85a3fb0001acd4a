// kvx-dialog: a print dialog without a display, driven by a script. It shows
// the pane of a print dialog extension for a printer and reports what the
// pane and the print settings hold. Usage: kvx-dialog --help.
#include <fstream>
#include <iostream>
#include <memory>
#include <span>
#include <string>

#include "KVXHost.h"
#include "accept_actions.hpp"
#include "dialog_error.hpp"
#include "gui/window_dialog.hpp"
#include "help.hpp"
#include "messages.hpp"
#include "options.hpp"
#include "pane_host.hpp"
#include "printer_list.hpp"
#include "script_runner.hpp"
#include "session.hpp"

namespace kvx::dialog {
namespace {

constexpr CFTypeID kAllTypes = 0;

// The script's stream: stdin for "-", else the opened file.
class ScriptSource {
public:
    explicit ScriptSource(const std::string &path) {
        if (path == kStandardInputName) return;
        file_ = std::make_unique<std::ifstream>(path);
        if (!*file_) throw DialogError(kExitUsage, "cannot read the script " + Quoted(path));
    }
    std::istream &stream() { return file_ ? *file_ : std::cin; }

private:
    std::unique_ptr<std::ifstream> file_;
};

void RunDialog(const Options &options) {
    ScriptSource script(options.scriptPath);
    PrintSession session(options);
    const AcceptActions acceptActions(options, session, std::cout);
    PaneHost pane(options.plugInsFolder, session);
    ScriptRunner runner(session, pane, options.savePath, std::cout,
                        [&] { acceptActions.Perform(session.PPDDict()); });

    std::string line;
    for (int lineNumber = 1; std::getline(script.stream(), line); ++lineNumber) runner.RunLine(lineNumber, line);
    runner.Finish();
}

// Everything the dialog made is released by now; whatever the host still
// holds beyond what it held before is a leak of the dialog or the pane.
void CheckNothingLeaked([[maybe_unused]] CFIndex liveObjectsBefore) {
#ifndef NDEBUG
    const CFIndex liveObjectsAfter = KVXHostGetLiveObjectCount(kAllTypes);
    if (liveObjectsAfter != liveObjectsBefore) {
        ReportMessage("warning: " + std::to_string(liveObjectsAfter) + " host objects alive after the dialog, " +
                      std::to_string(liveObjectsBefore) + " before:");
        KVXHostShowLiveObjects();
    }
#endif
}

int Main(std::span<char *const> arguments) {
    // The run loop lives as long as the thread; make it before counting.
    CFRunLoopGetCurrent();
    const CFIndex liveObjectsBefore = KVXHostGetLiveObjectCount(kAllTypes);
    int exitStatus = kExitSuccess;
    try {
        const Options options = ParseOptions(arguments);
        if (options.helpRequested) {
            std::cout << HelpText();
            return kExitSuccess;
        }
        if (options.listPrinters) {
            const std::vector<PrinterDestination> printers = ListPrinters();
            std::cout << (options.json ? FormatPrinterListJson(printers) : FormatPrinterList(printers));
            return kExitSuccess;
        }
        if (options.windowRequested) {
            RunWindowDialog(options);
        } else {
            RunDialog(options);
        }
    } catch (const DialogError &error) {
        ReportMessage(error.what());
        exitStatus = error.exitStatus();
    } catch (const std::exception &error) {
        ReportMessage(error.what());
        exitStatus = kExitHostFailure;
    }
    CheckNothingLeaked(liveObjectsBefore);
    return exitStatus;
}

}  // namespace
}  // namespace kvx::dialog

int main(int argc, char *argv[]) {
    return kvx::dialog::Main(std::span<char *const>(argv + 1, static_cast<size_t>(argc > 0 ? argc - 1 : 0)));
}
