// The print portal's reply to a sandboxed application. The portal's GTK
// backends (xdg-desktop-portal-gtk, xdg-desktop-portal-gnome) keep the
// dialog's settings for the job under a token and also send them back in
// their reply to PreparePrint; the application keeps that copy for its next
// print and often saves it. The job is printed from the kept settings, so
// the reply may lose the DIN: it is rewritten on its way out of the
// backend, on the process's session connection.
#pragma once

#include <gio/gio.h>

namespace kvx::gtk_print {

// Inside a portal backend, filters what it sends on the session bus; in any
// other process does nothing (and opens no bus connection).
void KeepDINOutOfPortalReplies();

// A message about to be sent, as it should go: a PreparePrint reply whose
// settings hold a DIN comes back as a copy with each DIN value replaced by
// the starting digit, every other byte the same; anything else, and a reply
// whose settings cannot be read (one debug line), comes back as it is.
// Takes the message and returns a message, as a connection filter does.
GDBusMessage *WithoutDIN(GDBusMessage *message);

}  // namespace kvx::gtk_print
