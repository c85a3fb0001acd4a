#include "gtk_dialog_tab.hpp"

#include <utility>

#include "core/report.hpp"
#include "glib/main_loop.hpp"

namespace kvx::gtk_module {
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

GtkDialogTab *GtkDialogTab::Of(GtkWidget *dialog) {
    return static_cast<GtkDialogTab *>(g_object_get_data(G_OBJECT(dialog), kTabDataKey));
}

void GtkDialogTab::Keep(std::unique_ptr<GtkDialogTab> tab) {
    GObject *dialog = G_OBJECT(tab->dialog_);
    g_object_set_data_full(dialog, kTabDataKey, tab.release(),
                           [](gpointer data) { std::unique_ptr<GtkDialogTab>(static_cast<GtkDialogTab *>(data)); });
}

GtkDialogTab::GtkDialogTab(GtkPrintUnixDialog *dialog, std::string plugInsFolder)
    : DialogTab(std::move(plugInsFolder), print_dialogs::PostToGLibMainLoop), dialog_(dialog) {
    g_signal_connect(dialog_, "notify::selected-printer", G_CALLBACK(OnSelectedPrinterNotify), this);
    g_signal_connect(dialog_, "destroy", G_CALLBACK(OnDialogDestroy), this);
    g_signal_connect(dialog_, "hide", G_CALLBACK(OnDialogHidden), this);
}

GtkDialogTab::~GtkDialogTab() {
    StopRunLoop();
}

GtkDialogTab::SelectedPrinter GtkDialogTab::Selected() {
    GtkPrinter *printer = gtk_print_unix_dialog_get_selected_printer(dialog_);
    if (!IsCupsPrinter(printer)) return {};
    return {gtk_printer_get_name(printer), gtk_printer_has_details(printer) != FALSE};
}

void GtkDialogTab::KeepRunLoopTurning() {
    if (runLoopTimer_ == 0) runLoopTimer_ = g_timeout_add(kRunLoopTickMilliseconds, TurnRunLoop, this);
}

void GtkDialogTab::StopRunLoop() {
    if (runLoopTimer_ != 0) g_source_remove(std::exchange(runLoopTimer_, 0));
}

void GtkDialogTab::OnSelectedPrinterNotify(GObject *, GParamSpec *, GtkDialogTab *tab) {
    print_dialogs::Guarded([tab] { tab->OnPrinterSelected(); });
}

void GtkDialogTab::OnDialogHidden(GtkWidget *, GtkDialogTab *tab) {
    tab->OnHidden();
}

void GtkDialogTab::OnDialogDestroy(GtkWidget *, GtkDialogTab *tab) {
    print_dialogs::Guarded([tab] {
        tab->Destroy();
        tab->StopRunLoop();
    });
}

gboolean GtkDialogTab::TurnRunLoop(gpointer tab) {
    static_cast<GtkDialogTab *>(tab)->OnRunLoopTick();
    return G_SOURCE_CONTINUE;
}

}  // namespace kvx::gtk_module
