// The DIN policy (core/din_policy.hpp) in GTK 3's print dialog's own
// option widgets.
#pragma once

#include <gtk/gtk.h>

namespace kvx::gtk_module {

// Sets each DIN digit among the dialog's own option widgets to the digit
// the pane starts from; true when the dialog shows DIN options.
bool ResetDialogDIN(GtkWidget *dialog);

}  // namespace kvx::gtk_module
