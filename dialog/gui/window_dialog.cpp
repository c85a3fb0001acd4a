#include "window_dialog.hpp"

#include <gtk/gtk.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "dialog_error.hpp"
#include "dialog_window.hpp"
#include "messages.hpp"

namespace kvx::dialog {
namespace {

void RequireDisplay() {
    if (gtk_init_check(nullptr, nullptr)) return;
    const char *display = std::getenv("DISPLAY");
    throw DialogError(kExitUsage, "--gui needs a display, and none can be opened (DISPLAY is " +
                                      (display != nullptr ? Quoted(display) : std::string("not set")) +
                                      "); use --script FILE without --gui");
}

void RunScript(DialogWindow &dialog, const std::string &path) {
    std::ifstream file;
    if (path != kStandardInputName) {
        file.open(path);
        if (!file) throw DialogError(kExitUsage, "cannot read the script " + Quoted(path));
    }
    std::istream &script = path == kStandardInputName ? std::cin : file;
    std::string line;
    for (int lineNumber = 1; std::getline(script, line); ++lineNumber) dialog.RunScriptLine(lineNumber, line);
}

}  // namespace

void RunWindowDialog(const Options &options) {
    RequireDisplay();
    // A screenshot shows the end of every transition, never its middle.
    if (options.screenshotPath) g_object_set(gtk_settings_get_default(), "gtk-enable-animations", FALSE, nullptr);
    DialogWindow dialog(options);
    dialog.Settle();
    if (!options.scriptPath.empty()) RunScript(dialog, options.scriptPath);
    if (options.screenshotPath) {
        dialog.Settle();
        dialog.WriteScreenshot(*options.screenshotPath);
        return;
    }
    dialog.Run();
}

}  // namespace kvx::dialog
