#include "print_dialog_tab.hpp"

#include <algorithm>
#include <utility>

#include "KVXHost.h"
#include "core/option_matching.hpp"
#include "core/report.hpp"
#include "din_reset.hpp"
#include "glib/main_loop.hpp"

namespace kvx::gtk_module {

using print_dialogs::Guarded;

namespace {

constexpr const char *kTabDataKey = "kvx-print-tab";
constexpr const char *kCupsBackendTypeName = "GtkPrintBackendCups";
// The host's timers fire when its run loop turns; GLib turns it this often
// while a pane is shown.
constexpr guint kRunLoopTickMilliseconds = 50;

bool IsCupsPrinter(GtkPrinter *printer) {
    GtkPrintBackend *backend = printer != nullptr ? gtk_printer_get_backend(printer) : nullptr;
    return backend != nullptr && g_strcmp0(G_OBJECT_TYPE_NAME(backend), kCupsBackendTypeName) == 0;
}

}  // namespace

void PrintDialogTab::AttachTo(GtkPrintUnixDialog *dialog, const std::string &plugInsFolder) {
    if (PrintDialogTab *shownBefore = Of(GTK_WIDGET(dialog))) return shownBefore->StartOver();
    auto tab = std::make_unique<PrintDialogTab>(dialog, plugInsFolder);
    g_object_set_data_full(G_OBJECT(dialog), kTabDataKey, tab.release(),
                           [](gpointer data) { std::unique_ptr<PrintDialogTab>(static_cast<PrintDialogTab *>(data)); });
}

PrintDialogTab *PrintDialogTab::Of(GtkWidget *dialog) {
    return static_cast<PrintDialogTab *>(g_object_get_data(G_OBJECT(dialog), kTabDataKey));
}

PrintDialogTab::PrintDialogTab(GtkPrintUnixDialog *dialog, std::string plugInsFolder)
    : dialog_(dialog),
      plugInsFolder_(std::move(plugInsFolder)),
      tab_(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0)),
      tabLabel_(gtk_label_new("")),
      flow_(plugInsFolder_, print_dialogs::PostToGLibMainLoop, [this](const QueueAnswer &answer) { ShowPane(answer); }) {
    gtk_container_set_border_width(GTK_CONTAINER(tab_), 12);
    gtk_print_unix_dialog_add_custom_tab(dialog_, tab_, tabLabel_);
    gtk_widget_hide(tab_);
    g_signal_connect(dialog_, "notify::selected-printer", G_CALLBACK(OnSelectedPrinterNotify), this);
    g_signal_connect(dialog_, "destroy", G_CALLBACK(OnDialogDestroy), this);
    g_signal_connect(dialog_, "hide", G_CALLBACK(OnDialogHidden), this);
    OnPrinterSelected();
}

PrintDialogTab::~PrintDialogTab() {
    OnDestroy();
}

void PrintDialogTab::OnResponse(gint response) {
    accepted_ = response == GTK_RESPONSE_OK;
    if (shownPane_ != nullptr) WriteChoicesToDialog();
}

// An application that shows its dialog again asks for a new print: the
// panes start over, so that nothing typed for the last job (the DIN above
// all) is carried into this one. A show without a hide before it is the
// first show seen twice (by the loader, which hands the dialog over, and by
// the hook the pane part adds meanwhile).
void PrintDialogTab::StartOver() {
    if (destroyed_ || shown_) return;
    shown_ = true;
    UnbindGenericOptions();
    RestoreHiddenContainers(hiddenContainers_);
    DismissPanes();
    accepted_ = false;
    OnPrinterSelected();
}

void PrintDialogTab::DismissPanes() {
    for (auto &[queue, pane] : panes_) pane->Dismiss(accepted_ && pane.get() == shownPane_);
    shownPane_ = nullptr;
    panes_.clear();
}

// GTK has just built the option widgets for the printer from what the
// application handed the dialog and from the queue's defaults: the DIN is
// reset there at once, so that a Print pressed before the queue's check
// answered carries the digits the pane would start from, never an old DIN.
void PrintDialogTab::OnPrinterSelected() {
    UnbindGenericOptions();
    RestoreHiddenContainers(hiddenContainers_);
    gtk_widget_hide(tab_);
    shownPane_ = nullptr;
    GtkPrinter *printer = gtk_print_unix_dialog_get_selected_printer(dialog_);
    if (!IsCupsPrinter(printer)) return flow_.SelectQueue({});
    const std::string queue = gtk_printer_get_name(printer);
    if (ResetDialogDIN(GTK_WIDGET(dialog_))) g_debug("the DIN of %s starts at 0 in the dialog", queue.c_str());
    flow_.SelectQueue(queue);
}

void PrintDialogTab::ShowPane(const QueueAnswer &answer) {
    GtkPrinter *printer = gtk_print_unix_dialog_get_selected_printer(dialog_);
    // GTK builds the option widgets once the printer's details are in, and
    // says so with another selected-printer notification.
    if (printer == nullptr || !gtk_printer_has_details(printer)) return;
    if (!BindGenericOptions(answer)) return;
    auto &pane = panes_[answer.queue];
    if (!pane) {
        try {
            pane = std::make_unique<QueuePane>(answer, plugInsFolder_, print_dialogs::StartingChoicesFor(answer, [this](const std::string &key) {
                return ChosenChoice(boundOptions_.at(key).combo);
            }), [this] {
                KVXRunLoopRunOnce();
                AfterModelChange();
            });
            g_signal_connect(pane->Widget(), "size-allocate", G_CALLBACK(OnPaneAllocated), this);
        } catch (...) {
            panes_.erase(answer.queue);
            flow_.PaneFailed(answer.queue);  // asked once per dialog
            UnbindGenericOptions();
            RestoreHiddenContainers(hiddenContainers_);
            throw;
        }
    }
    shownPane_ = pane.get();
    GList *shown = gtk_container_get_children(GTK_CONTAINER(tab_));
    for (GList *child = shown; child != nullptr; child = child->next) {
        gtk_container_remove(GTK_CONTAINER(tab_), GTK_WIDGET(child->data));
    }
    g_list_free(shown);
    gtk_box_pack_start(GTK_BOX(tab_), shownPane_->Widget(), FALSE, FALSE, 0);
    gtk_label_set_text(GTK_LABEL(tabLabel_), shownPane_->Title().c_str());
    WriteChoicesToDialog();
    gtk_widget_show(tab_);
    if (runLoopTimer_ == 0) runLoopTimer_ = g_timeout_add(kRunLoopTickMilliseconds, OnRunLoopTick, this);
    g_debug("tab for %s shown %.1f ms after the printer was selected (the check took %.1f ms)", answer.queue.c_str(),
            flow_.MillisecondsSinceSelected(),
            answer.checkMilliseconds);
}

// Finds the dialog's widget for each of the pane's keys and hides it; false
// (and a line on stderr) when one is missing, since then a value could not
// reach the job.
bool PrintDialogTab::BindGenericOptions(const QueueAnswer &answer) {
    const std::vector<GenericOption> generic = FindGenericOptions(GTK_WIDGET(dialog_));
    std::vector<std::string> labels;
    std::ranges::transform(generic, std::back_inserter(labels), LabelText);
    const auto matched = print_dialogs::MatchPaneKeys(flow_, answer, labels);
    if (!matched) return false;
    for (const auto &[key, index] : *matched) {
        const GenericOption &option = generic[index];
        g_object_ref(option.combo);
        boundOptions_[key] = option;
        g_signal_connect(option.combo, "changed", G_CALLBACK(OnGenericComboChanged), this);
        HideGenericOption(option, hiddenContainers_);
    }
    return true;
}

void PrintDialogTab::UnbindGenericOptions() {
    for (const auto &[key, option] : boundOptions_) {
        g_signal_handlers_disconnect_by_data(option.combo, this);
        g_object_unref(option.combo);
    }
    boundOptions_.clear();
}

void PrintDialogTab::AfterModelChange() {
    Guarded([&] {
        if (shownPane_ == nullptr) return;
        shownPane_->Redraw();
        WriteChoicesToDialog();
    });
}

// The pane's choices reach the job only through the dialog's own widgets:
// GTK builds the job's settings from them.
void PrintDialogTab::WriteChoicesToDialog() {
    const Choices choices = shownPane_->SyncToTicket();
    writing_ = true;
    for (const auto &[key, option] : boundOptions_) {
        const auto choice = choices.find(key);
        if (choice != choices.end() && !Choose(option.combo, choice->second)) {
            flow_.ReportOnce(flow_.SelectedQueue() + "/" + key, "the pane chose " + choice->second + " for " + key +
                                                       ", which the print dialog does not offer; it keeps its own");
        }
    }
    writing_ = false;
}

// Someone changed a generic widget anyway: the pane follows, last edit wins.
void PrintDialogTab::OnGenericChanged(GtkComboBox *combo) {
    if (writing_ || shownPane_ == nullptr) return;
    const auto bound = std::ranges::find_if(boundOptions_, [&](const auto &entry) { return entry.second.combo == combo; });
    const std::optional<std::string> choice = ChosenChoice(combo);
    if (bound == boundOptions_.end() || !choice) return;
    shownPane_->TakeChoice(bound->first, *choice);
    AfterModelChange();
}

void PrintDialogTab::OnDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    flow_.Cancel();
    if (runLoopTimer_ != 0) g_source_remove(runLoopTimer_);
    runLoopTimer_ = 0;
    UnbindGenericOptions();
    ForgetHiddenContainers(hiddenContainers_);
    DismissPanes();
}

void PrintDialogTab::OnSelectedPrinterNotify(GObject *, GParamSpec *, PrintDialogTab *tab) {
    Guarded([tab] {
        if (!tab->destroyed_) tab->OnPrinterSelected();
    });
}

void PrintDialogTab::OnGenericComboChanged(GtkComboBox *combo, PrintDialogTab *tab) {
    Guarded([&] { tab->OnGenericChanged(combo); });
}

void PrintDialogTab::OnDialogHidden(GtkWidget *, PrintDialogTab *tab) {
    tab->shown_ = false;
}

void PrintDialogTab::OnDialogDestroy(GtkWidget *, PrintDialogTab *tab) {
    Guarded([tab] { tab->OnDestroy(); });
}

// Where the pane sits, for a person (or a test) looking at the dialog.
void PrintDialogTab::OnPaneAllocated(GtkWidget *pane, GdkRectangle *, PrintDialogTab *tab) {
    gint x = 0;
    gint y = 0;
    if (gtk_widget_translate_coordinates(pane, GTK_WIDGET(tab->dialog_), 0, 0, &x, &y) &&
        std::pair(x, y) != std::exchange(tab->panePosition_, std::pair(x, y))) {
        g_debug("pane of %s at %d,%d in the dialog", tab->flow_.SelectedQueue().c_str(), x, y);
    }
}

gboolean PrintDialogTab::OnRunLoopTick(gpointer tab) {
    if (KVXRunLoopRunOnce() > 0) static_cast<PrintDialogTab *>(tab)->AfterModelChange();
    return G_SOURCE_CONTINUE;
}

}  // namespace kvx::gtk_module
