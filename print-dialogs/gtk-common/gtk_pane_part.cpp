// kvx-print's pane part, built once per GTK version and loaded by the
// loader when the first print dialog is about to show: every
// GtkPrintUnixDialog of the application gets the Korvane pane as a custom
// tab for the CUPS queues whose PPD the plug-in accepts. Dialogs are found
// through emission hooks (no class is patched) and the plug-in bundle
// relative to where this library is installed.
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <memory>
#include <optional>
#include <string>

#include "print-dialogs/glib/main_loop.hpp"
#include "print-dialogs/glib/printer_option.hpp"
#include "print-dialogs/gtk-common/gtk_pane_part.h"
#include "print-dialogs/gtk-common/gtk_portal_reply_filter.hpp"
#include "print-dialogs/gtk-common/gtk_print_dialog_tab.hpp"
#include "session/options/din_policy.hpp"
#include "session/tab/plugins_folder.hpp"
#include "session/tab/report.hpp"

namespace kvx::gtk_print {

using session::Guarded;
using session::ReportProblem;

namespace {

// Installed in PREFIX/LIBDIR/kvx, with the bundle in
// PREFIX/LIBDIR/kvx/PlugIns (the install rule gives the relative path); in
// the build tree, the build's own PlugIns.
constexpr const char *kInstalledPlugInsFromPanePart = KVX_INSTALLED_PLUGINS_FROM_PANE_PART;

// One for the process: its answers serve every print dialog of the application.
std::optional<session::QueueChecker> &Checker() {
    static std::optional<session::QueueChecker> checker;
    return checker;
}

// A dialog shown again after a hide starts over; a show without a hide
// before it is the first show seen twice (by the loader, which hands the
// dialog over, and by the hook the pane part adds meanwhile).
void Attach(GtkPrintUnixDialog *dialog) {
    Guarded([dialog] {
        if (GtkPrintDialogTab *tab = GtkPrintDialogTab::Of(GTK_WIDGET(dialog))) return tab->Lifecycle().OnShown();
        GtkPrintDialogTab::Keep(std::make_unique<GtkPrintDialogTab>(dialog, *Checker()));
    });
}

gboolean OnWidgetShown(GSignalInvocationHint *, guint, const GValue *parameters, gpointer) {
    auto *widget = static_cast<GtkWidget *>(g_value_get_object(&parameters[0]));
    if (GTK_IS_PRINT_UNIX_DIALOG(widget)) Attach(GTK_PRINT_UNIX_DIALOG(widget));
    return TRUE;  // stay hooked
}

gboolean OnDialogResponse(GSignalInvocationHint *, guint, const GValue *parameters, gpointer) {
    auto *widget = static_cast<GtkWidget *>(g_value_get_object(&parameters[0]));
    if (GtkPrintDialogTab *tab = GtkPrintDialogTab::Of(widget)) {
        Guarded([tab, parameters] { tab->Lifecycle().OnResponse(g_value_get_int(&parameters[1]) == GTK_RESPONSE_OK); });
    }
    return TRUE;
}

// An application's print settings, by PPD key as GTK's CUPS backend names them.
class ApplicationSettings final : public session::SettingsStore {
public:
    explicit ApplicationSettings(GtkPrintSettings *settings) : settings_(settings) {}
    bool Holds(std::string_view key) const override {
        return gtk_print_settings_has_key(settings_, CupsSettingKey(key).c_str()) != FALSE;
    }
    bool Set(std::string_view key, std::string_view value) override {
        gtk_print_settings_set(settings_, CupsSettingKey(key).c_str(), std::string(value).c_str());
        return true;
    }

private:
    GtkPrintSettings *settings_;
};

// GTK makes the job of a GtkPrintOperation with its own copy of the
// settings (gtkprintjob.c keeps a copy of its "settings" property) just
// before the operation's status first changes (finish_print in
// gtkprintoperation-unix.c), and the application reads the operation's
// settings, to keep them for the next print, only later ("done", or after
// gtk_print_operation_run returns). From that status change on, the
// operation's settings are the application's alone: their DIN goes to 0.
gboolean OnOperationStatusChanged(GSignalInvocationHint *, guint, const GValue *parameters, gpointer) {
    auto *operation = GTK_PRINT_OPERATION(g_value_get_object(&parameters[0]));
    if (GtkPrintSettings *settings = gtk_print_operation_get_print_settings(operation)) {
        ApplicationSettings outgoing(settings);
        session::DinPolicy::Scrub(outgoing);
    }
    return TRUE;
}

void AddEmissionHook(GType type, const char *signal, GSignalEmissionHook hook) {
    // A class's signals exist once the class does.
    g_type_class_unref(g_type_class_ref(type));
    const guint id = g_signal_lookup(signal, type);
    if (id == 0) {
        ReportProblem(std::string("GTK has no signal ") + signal + "; the module stays out of the way");
        return;
    }
    g_signal_add_emission_hook(id, 0, hook, nullptr, nullptr);
}

}  // namespace
}  // namespace kvx::gtk_print

extern "C" G_MODULE_EXPORT void kvx_print_pane_part_start(GtkPrintUnixDialog *firstDialog) {
    using namespace kvx::gtk_print;
    static_assert(std::is_same_v<decltype(&kvx_print_pane_part_start), KVXPrintPanePartStart>);
    SendMessagesToDebugLog();
    Checker().emplace(kvx::session::FindPlugInsFolder(kInstalledPlugInsFromPanePart, KVX_BUILD_PLUGINS_DIR),
                      kvx::session::SchedulerPPDs());
    AddEmissionHook(GTK_TYPE_WIDGET, "show", OnWidgetShown);
    AddEmissionHook(GTK_TYPE_DIALOG, "response", OnDialogResponse);
    AddEmissionHook(GTK_TYPE_PRINT_OPERATION, "status-changed", OnOperationStatusChanged);
    KeepDINOutOfPortalReplies();
    Attach(firstDialog);
}
