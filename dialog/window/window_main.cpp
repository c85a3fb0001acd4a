#include "dialog/window/window_main.hpp"

#include <gtk/gtk.h>

#include <cstdlib>
#include <string>

#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"
#include "dialog/script/script_file.hpp"
#include "dialog/window/dialog_window.hpp"

namespace kvx::dialog {
namespace {

void RequireDisplay() {
    if (gtk_init_check(nullptr, nullptr)) return;
    const char *display = std::getenv("DISPLAY");
    throw DialogError(kExitUsage, "--gui needs a display, and none can be opened (DISPLAY is " +
                                      (display != nullptr ? Quoted(display) : std::string("not set")) +
                                      "); use --script FILE without --gui");
}

void RunWindowDialog(const Options &options) {
    RequireDisplay();
    // A screenshot shows the end of every transition, never its middle.
    if (options.screenshotPath) g_object_set(gtk_settings_get_default(), "gtk-enable-animations", FALSE, nullptr);
    DialogWindow dialog(options);
    dialog.AwaitPrinter();
    dialog.Settle();
    if (!options.scriptPath.empty()) {
        ScriptFile script(options.scriptPath);
        std::string line;
        for (int lineNumber = 1; std::getline(script.Stream(), line); ++lineNumber) {
            dialog.RunScriptLine(lineNumber, line);
        }
    }
    if (options.screenshotPath) {
        dialog.Settle();
        dialog.WriteScreenshot(*options.screenshotPath);
        return;
    }
    dialog.Run();
}

}  // namespace
}  // namespace kvx::dialog

int KVXDialogRunWindow(const kvx::dialog::Options *options) {
    return kvx::dialog::ExitStatusOfRun([options] { kvx::dialog::RunWindowDialog(*options); });
}
