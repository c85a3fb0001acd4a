// The window's printer chooser: the entries that printer_choices.hpp makes,
// as a combo box with "Other PPD file..." last, which asks for a file. The
// scheduler's queues take the place of the note that awaits them, and the
// chosen entry stays chosen however the list around it grows.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog/cli/options.hpp"
#include "dialog/window/printer_choices.hpp"

namespace kvx::dialog {

class PrinterChooser {
public:
    // chosen runs with the entry the person chose, a PPD file they picked
    // included; window: the parent of the file chooser.
    PrinterChooser(const Options &options, GtkWindow *window, std::function<void(size_t index)> chosen);
    PrinterChooser(const PrinterChooser &) = delete;
    PrinterChooser &operator=(const PrinterChooser &) = delete;

    // The labelled row with the combo box, owned by the window it is put in.
    GtkWidget *Widget() const { return row_; }
    const std::vector<PrinterChoice> &Choices() const { return choices_; }
    size_t ChosenIndex() const { return chosenIndex_; }
    // Whether the person has used the chooser, even without choosing.
    bool Touched() const { return touched_; }
    // The command line's queue, else its PPD file.
    size_t InitialIndex(const Options &options) const;
    std::optional<size_t> IndexOfQueue(const std::string &queue) const;

    // Shows the entry as chosen, without telling.
    void Select(size_t index);
    // The scheduler's queues (or why there are none) in the awaited note's
    // place; the command line's queue, listed already, gets its model.
    void ReceiveQueues(const std::vector<PrinterDestination> &printers, const std::string &failure);

private:
    void Fill();
    void AskForPPDFile();
    static void OnChanged(GtkComboBox *combo, PrinterChooser *chooser);

    GtkWindow *window_;
    std::function<void(size_t)> chosen_;
    std::vector<PrinterChoice> choices_;
    size_t chosenIndex_ = 0;
    bool selecting_ = false;  // the combo is set from code: no signal counts
    bool touched_ = false;
    GtkWidget *row_;
    GtkWidget *combo_;
};

}  // namespace kvx::dialog
