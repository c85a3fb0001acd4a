// GTK 4's print dialog's own per-option widgets (GtkPrinterOptionWidget),
// each with the label that names it and the GtkPrinterOption behind it (its
// "source"), which the dialog reads back into the job's settings: found by
// walking the dialog, read and written through the option's "value".
#pragma once

#include <gtk/gtk.h>

#include <optional>
#include <string>
#include <vector>

namespace kvx::gtk_module {

struct DialogOption {
    GtkWidget *label;         // "Print Mode:"
    GtkWidget *optionWidget;  // the GtkPrinterOptionWidget
    GObject *source;          // its GtkPrinterOption, held by the widget
};

// Every labelled option widget of the dialog, in the order of the widget tree.
std::vector<DialogOption> FindDialogOptions(GtkWidget *dialog);

std::string LabelText(const DialogOption &option);

// The settings key of the option ("cups-DINDigit1"); empty when GTK's
// option reads otherwise than this module knows it.
std::string OptionName(const DialogOption &option);

// The PPD choice the option holds, if any.
std::optional<std::string> ChosenChoice(GObject *source);

// Sets the option to `choice`; false (and nothing changes) when the option
// does not offer it.
bool Choose(GObject *source, const std::string &choice);

// Hides or shows again the option's widget and label.
void SetOptionVisible(const DialogOption &option, bool visible);

}  // namespace kvx::gtk_module
