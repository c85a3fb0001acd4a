// What the GTK 3 and GTK 4 tabs hand the print session through GLib: a way
// back onto the main loop for the queue check's answers, and the debug log
// as where the plug-in's and the session's messages go inside an
// application.
#pragma once

#include <functional>

namespace kvx::gtk_print {

// Runs work on the default main context; callable from any thread.
void PostToGLibMainLoop(std::function<void()> work);

// From now on the plug-in's echo (CFShow) and the print session's messages
// for people go to GLib's debug log (G_MESSAGES_DEBUG=kvx-print shows them);
// kvx-print's own faults stay lines on stderr.
void SendMessagesToDebugLog();

}  // namespace kvx::gtk_print
