// kvx-print, a GTK 3 module: every GtkPrintUnixDialog of the application
// gets the Korvane pane as a custom tab for the CUPS queues whose PPD the
// plug-in accepts. The module finds dialogs through emission hooks (no class
// is patched) and the plug-in bundle relative to where it is installed.
#include <dlfcn.h>
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <filesystem>
#include <string>

#include "print_dialog_tab.hpp"
#include "report.hpp"

namespace kvx::gtk_module {
namespace {

// Installed as PREFIX/LIBDIR/gtk-3.0/modules/libkvx-print.so, with the
// bundle in PREFIX/lib/kvx/PlugIns (the install rule gives the relative
// path); in the build tree, the build's own PlugIns.
constexpr const char *kInstalledPlugInsFromModule = KVX_INSTALLED_PLUGINS_FROM_MODULE;

std::string &PlugInsFolder() {
    static std::string folder;
    return folder;
}

std::string FindPlugInsFolder() {
    Dl_info self{};
    std::error_code error;
    if (dladdr(reinterpret_cast<const void *>(&FindPlugInsFolder), &self) != 0 && self.dli_fname != nullptr) {
        const std::filesystem::path installed =
            std::filesystem::path(self.dli_fname).parent_path() / kInstalledPlugInsFromModule;
        if (std::filesystem::is_directory(installed, error)) return std::filesystem::weakly_canonical(installed, error);
    }
    return KVX_BUILD_PLUGINS_DIR;
}

gboolean OnWidgetShown(GSignalInvocationHint *, guint, const GValue *parameters, gpointer) {
    auto *widget = static_cast<GtkWidget *>(g_value_get_object(&parameters[0]));
    if (GTK_IS_PRINT_UNIX_DIALOG(widget)) {
        try {
            PrintDialogTab::AttachTo(GTK_PRINT_UNIX_DIALOG(widget), PlugInsFolder());
        } catch (const std::exception &error) {
            ReportProblem(error.what());
        } catch (...) {
            ReportProblem("an unexpected failure; the print dialog goes on without the pane");
        }
    }
    return TRUE;  // stay hooked
}

gboolean OnDialogResponse(GSignalInvocationHint *, guint, const GValue *parameters, gpointer) {
    auto *widget = static_cast<GtkWidget *>(g_value_get_object(&parameters[0]));
    if (PrintDialogTab *tab = PrintDialogTab::Of(widget)) {
        try {
            tab->OnResponse(g_value_get_int(&parameters[1]));
        } catch (const std::exception &error) {
            ReportProblem(error.what());
        } catch (...) {
            ReportProblem("an unexpected failure; the print dialog goes on without the pane");
        }
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
}  // namespace kvx::gtk_module

extern "C" G_MODULE_EXPORT void gtk_module_init(gint *, gchar ***) {
    using namespace kvx::gtk_module;
    PlugInsFolder() = FindPlugInsFolder();
    AddEmissionHook(GTK_TYPE_WIDGET, "show", OnWidgetShown);
    AddEmissionHook(GTK_TYPE_DIALOG, "response", OnDialogResponse);
}
