// The print dialog's own per-option widgets (GtkPrinterOptionWidget), which
// GTK builds from the queue's PPD and reads back into the job's settings:
// found by walking the dialog, each with the label that names it. Declared
// once; each GTK version reads and writes its options in its own way
// (gtk3/gtk3_option_widgets.cpp, gtk4/gtk4_option_widgets.cpp).
#pragma once

#include <gtk/gtk.h>

#include <optional>
#include <string>
#include <vector>

namespace kvx::gtk_print {

struct DialogOption {
    GtkWidget *label;         // "Print Mode:"
    GtkWidget *optionWidget;  // the GtkPrinterOptionWidget
    // What holds the choice and emits "changed" when it changes: GTK 3 the
    // widget's inner GtkComboBox (the PPD choice in its second column), GTK 4
    // the widget's GtkPrinterOption (its "source"). Held by the widget.
    GObject *choiceHolder;
};

// Every labelled option widget of the dialog, in the order of the widget tree.
std::vector<DialogOption> FindDialogOptions(GtkWidget *dialog);
// Each version's walk: adds the options in widget and below it.
void AddDialogOptions(GtkWidget *widget, GType optionWidgetType, std::vector<DialogOption> &found);

std::string LabelText(const DialogOption &option);

// The settings key of the option ("cups-DINDigit1"); empty when GTK's
// option reads otherwise than this module knows it or its text is not the
// widget's label.
std::string OptionName(const DialogOption &option);

// The PPD choice the option holds, if any.
std::optional<std::string> ChosenChoice(const DialogOption &option);

// Sets the option to `choice`; false (and nothing changes) when the option
// does not offer it.
bool Choose(const DialogOption &option, const std::string &choice);

// The options hidden for the pane, with each enclosing container that then
// showed nothing any more (a group's frame on the Advanced page, up to a
// whole notebook page), so that no empty group is left; each part is
// referenced while it is remembered.
class HiddenOptions {
public:
    HiddenOptions() = default;
    ~HiddenOptions() { Forget(); }
    HiddenOptions(const HiddenOptions &) = delete;
    HiddenOptions &operator=(const HiddenOptions &) = delete;

    void Hide(const DialogOption &option);
    // Shows again what is still in the dialog and has something to show
    // (GTK builds new option widgets for each printer), then forgets it all.
    void Restore();
    // Lets go of it all without touching it (the dialog goes).
    void Forget();

private:
    std::vector<GtkWidget *> options_;     // labels and option widgets
    std::vector<GtkWidget *> containers_;  // innermost first
};

}  // namespace kvx::gtk_print
