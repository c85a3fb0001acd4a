// What every GLib-based toolkit (GTK 3, GTK 4) hands the core: a way back
// onto its main loop for the queue check's answers, and the debug log as
// where the plug-in's and the dialog library's messages go inside an
// application.
#pragma once

#include <functional>

namespace kvx::print_dialogs {

// Runs work on the default main context; callable from any thread.
void PostToGLibMainLoop(std::function<void()> work);

// From now on the plug-in's echo (CFShow) and the dialog library's messages
// for people go to GLib's debug log (G_MESSAGES_DEBUG=kvx-print shows them);
// kvx-print's own faults stay lines on stderr.
void SendMessagesToDebugLog();

}  // namespace kvx::print_dialogs
