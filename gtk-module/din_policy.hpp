// The private-print DIN belongs to one job: in a print dialog it never
// starts from what the dialog was handed (an application's saved settings,
// the queue's defaults), and it does not stay in the settings the
// application keeps for its next print.
#pragma once

#include <gtk/gtk.h>

namespace kvx::gtk_module {

// Sets each DIN digit among the dialog's own option widgets to the digit
// the pane starts from; true when the dialog shows DIN options.
bool ResetDialogDIN(GtkWidget *dialog);

// Sets each DIN digit that print settings hold to the starting digit. Not
// removed: applications that merge their saved settings key by key into
// their file (evince) would keep an older DIN there.
void ZeroDIN(GtkPrintSettings *settings);

}  // namespace kvx::gtk_module
