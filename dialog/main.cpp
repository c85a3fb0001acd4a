// kvx-dialog: the print dialog. It shows the pane of a print dialog
// extension for a printer and drives it from a script, reporting what the
// pane and the print settings hold, or opens its window (a module loaded
// only then, so that script mode never maps GTK). Usage: kvx-dialog --help.
#include <dlfcn.h>

#include <iostream>
#include <span>
#include <string>

#include "KVXHost.h"
#include "dialog/cli/default_locations.hpp"
#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/help.hpp"
#include "dialog/cli/messages.hpp"
#include "dialog/cli/options.hpp"
#include "dialog/cups/printer_list.hpp"
#include "dialog/script/pane_driver.hpp"
#include "dialog/script/script_file.hpp"
#include "dialog/window/window_main.hpp"

namespace kvx::dialog {
namespace {

constexpr CFTypeID kAllTypes = 0;

void RunScript(const Options &options) {
    ScriptFile script(options.scriptPath);
    PaneDriver driver(options, std::cout);
    driver.RunScript(script.Stream());
}

// The window's exit status; the module has said why it is not 0. The
// module stays loaded until the process ends: GTK cannot be unloaded.
int RunWindow(const Options &options) {
    const std::string module = GetDefaultLocations().windowModule;
    void *handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry = handle != nullptr ? reinterpret_cast<WindowEntry>(dlsym(handle, kWindowEntryName)) : nullptr;
    if (entry == nullptr) {
        const char *error = dlerror();
        throw DialogError(kExitHostFailure,
                          "cannot load the window module " + Quoted(module) + ": " + (error != nullptr ? error : ""));
    }
    return entry(&options);
}

void ReportPrinters(const Options &options) {
    const std::vector<PrinterDestination> printers = ListPrinters();
    std::cout << (options.json ? FormatPrinterListJson(printers) : FormatPrinterList(printers));
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
    TakeSessionMessages();
    // The run loop lives as long as the thread; make it before counting.
    CFRunLoopGetCurrent();
    const CFIndex liveObjectsBefore = KVXHostGetLiveObjectCount(kAllTypes);
    int windowExitStatus = kExitSuccess;
    const int exitStatus = ExitStatusOfRun([arguments, &windowExitStatus] {
        const Options options = ParseOptions(arguments);
        if (options.helpRequested) {
            std::cout << HelpText();
        } else if (options.listPrinters) {
            ReportPrinters(options);
        } else if (options.windowRequested) {
            windowExitStatus = RunWindow(options);
        } else {
            RunScript(options);
        }
    });
    CheckNothingLeaked(liveObjectsBefore);
    return exitStatus != kExitSuccess ? exitStatus : windowExitStatus;
}

}  // namespace
}  // namespace kvx::dialog

int main(int argc, char *argv[]) {
    return kvx::dialog::Main(std::span<char *const>(argv + 1, static_cast<size_t>(argc > 0 ? argc - 1 : 0)));
}
