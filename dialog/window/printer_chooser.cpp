#include "dialog/window/printer_chooser.hpp"

#include <algorithm>

#include "dialog/window/file_chooser.hpp"

namespace kvx::dialog {
namespace {

constexpr gint kSpacing = 8;
// The chooser is as wide as this many characters whatever its entries say,
// so that the window keeps its layout when the scheduler's queues arrive.
constexpr gint kChooserWidthChars = 36;
// The text combo box's own layout: the label, then an ID left unset.
enum ChooserColumn : gint { kLabelColumn, kIDColumn, kChooserColumnCount };

}  // namespace

PrinterChooser::PrinterChooser(const Options &options, GtkWindow *window, std::function<void(size_t)> chosen)
    : window_(window),
      chosen_(std::move(chosen)),
      choices_(InitialPrinterChoices(options)),
      row_(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing)),
      combo_(gtk_combo_box_text_new()) {
    gtk_box_pack_start(GTK_BOX(row_), gtk_label_new("Printer:"), FALSE, FALSE, 0);
    GList *cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(combo_));
    for (GList *cell = cells; cell != nullptr; cell = cell->next) {
        g_object_set(cell->data, "ellipsize", PANGO_ELLIPSIZE_END, "width-chars", kChooserWidthChars, nullptr);
    }
    g_list_free(cells);
    Fill();
    g_signal_connect(combo_, "changed", G_CALLBACK(OnChanged), this);
    gtk_box_pack_start(GTK_BOX(row_), combo_, TRUE, TRUE, 0);
}

size_t PrinterChooser::InitialIndex(const Options &options) const {
    const auto initial = std::ranges::find_if(choices_, [&](const PrinterChoice &choice) {
        return options.printerQueue ? choice.queue == *options.printerQueue : choice.ppdPath == options.ppdPath;
    });
    return initial != choices_.end() ? static_cast<size_t>(initial - choices_.begin()) : 0;
}

std::optional<size_t> PrinterChooser::IndexOfQueue(const std::string &queue) const {
    const auto choice = std::ranges::find(choices_, queue, &PrinterChoice::queue);
    if (queue.empty() || choice == choices_.end()) return std::nullopt;
    return static_cast<size_t>(choice - choices_.begin());
}

void PrinterChooser::Select(size_t index) {
    chosenIndex_ = index;
    selecting_ = true;
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo_), static_cast<gint>(index));
    selecting_ = false;
}

void PrinterChooser::ReceiveQueues(const std::vector<PrinterDestination> &printers, const std::string &failure) {
    const auto note = std::ranges::find_if(choices_, &PrinterChoice::IsNote);
    if (note == choices_.end()) return;
    auto at = choices_.erase(note);
    if (chosenIndex_ > static_cast<size_t>(at - choices_.begin())) --chosenIndex_;
    for (PrinterChoice &choice : QueueChoices(printers, failure)) {
        const auto listed = std::ranges::find_if(choices_, [&](const PrinterChoice &known) {
            return !choice.queue.empty() && known.queue == choice.queue;
        });
        if (listed != choices_.end()) {
            *listed = std::move(choice);
            continue;
        }
        if (chosenIndex_ >= static_cast<size_t>(at - choices_.begin())) ++chosenIndex_;
        at = choices_.insert(at, std::move(choice)) + 1;
    }
    Fill();
}

// One new model for the whole list: hundreds of queues inserted one by one
// would each make the chooser measure every row again.
void PrinterChooser::Fill() {
    GtkListStore *rows = gtk_list_store_new(kChooserColumnCount, G_TYPE_STRING, G_TYPE_STRING);
    for (const PrinterChoice &choice : choices_) {
        gtk_list_store_insert_with_values(rows, nullptr, -1, kLabelColumn, choice.label.c_str(), -1);
    }
    gtk_list_store_insert_with_values(rows, nullptr, -1, kLabelColumn, std::string(kOtherPPDLabel).c_str(), -1);
    selecting_ = true;
    gtk_combo_box_set_model(GTK_COMBO_BOX(combo_), GTK_TREE_MODEL(rows));
    selecting_ = false;
    g_object_unref(rows);
    Select(chosenIndex_);
}

void PrinterChooser::AskForPPDFile() {
    const std::optional<std::string> chosen = AskForFile(
        window_, {.title = "Choose a PPD file",
                  .action = GTK_FILE_CHOOSER_ACTION_OPEN,
                  .acceptLabel = "_Open",
                  .suggestedName = {},
                  .filterName = "PPD files",
                  .filterGlobs = {"*.ppd", "*.PPD"}});
    if (!chosen) return Select(chosenIndex_);
    choices_.push_back(MakePPDFileChoice(*chosen));
    chosenIndex_ = choices_.size() - 1;
    Fill();
    chosen_(chosenIndex_);
}

void PrinterChooser::OnChanged(GtkComboBox *combo, PrinterChooser *chooser) {
    if (chooser->selecting_) return;
    const gint active = gtk_combo_box_get_active(combo);
    if (active < 0 || static_cast<size_t>(active) == chooser->chosenIndex_) return;
    chooser->touched_ = true;
    const auto index = static_cast<size_t>(active);
    if (index == chooser->choices_.size()) return chooser->AskForPPDFile();
    if (chooser->choices_[index].IsNote()) return chooser->Select(chooser->chosenIndex_);
    chooser->chosen_(index);
}

}  // namespace kvx::dialog
