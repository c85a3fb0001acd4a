// The print dialog's own per-option widgets (GtkPrinterOptionWidget), which
// GTK builds from the queue's PPD and reads back into the job's settings:
// found by walking the dialog, each with the label that names it.
#pragma once

#include <gtk/gtk.h>

#include <optional>
#include <string>
#include <vector>

namespace kvx::gtk_module {

struct GenericOption {
    GtkWidget *label;         // "Print Mode:"
    GtkWidget *optionWidget;  // the GtkPrinterOptionWidget
    GtkComboBox *combo;       // its inner combo: a row per choice, the PPD choice in the second column
};

// Every labelled combo of a GtkPrinterOptionWidget in the dialog, in the
// order of the widget tree.
std::vector<GenericOption> FindGenericOptions(GtkWidget *dialog);

std::string LabelText(const GenericOption &option);

// The name of the dialog's option behind the widget, as the settings key it
// becomes ("cups-DINDigit1"); empty when GTK's option reads otherwise than
// this module knows it or its text is not the widget's label.
std::string OptionName(const GenericOption &option);

// The PPD choice the combo shows, if any.
std::optional<std::string> ChosenChoice(GtkComboBox *combo);

// Shows the row whose choice is `choice`; false (and nothing changes) when
// the combo offers no such choice.
bool Choose(GtkComboBox *combo, const std::string &choice);

// Hides the option's widget and label, then each enclosing container that
// shows nothing any more, up to and including the notebook page. Each
// container hidden is remembered in `hidden`, which holds a reference to it.
void HideGenericOption(const GenericOption &option, std::vector<GtkWidget *> &hidden);

// Shows again each remembered container that has something to show now
// (GTK rebuilt its contents for another printer), and forgets them all.
void RestoreHiddenContainers(std::vector<GtkWidget *> &hidden);

// Lets go of the remembered containers without touching them.
void ForgetHiddenContainers(std::vector<GtkWidget *> &hidden);

}  // namespace kvx::gtk_module
