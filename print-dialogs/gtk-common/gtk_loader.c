/* kvx-print's loader, built once per GTK version: what GTK loads into every
 * application, GTK 3 as the module that GTK_MODULES names, GTK 4 as a
 * library of its printbackends folder, which GLib's folder scan loads into
 * every GTK 4 process (it offers no print backend; it keeps itself loaded).
 * It only waits for the first print dialog, then loads the pane part (the
 * pane, the plug-in's host, libcups) and hands that dialog over; an
 * application that never shows one maps nothing of kvx but this file.
 * Written in C, so that it maps no C++ runtime either. */
#define _GNU_SOURCE /* dladdr */
#include <dlfcn.h>
#include <stdio.h>
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include "print-dialogs/gtk-common/gtk_pane_part.h"

/* Installed in GTK's folder (LIBDIR/gtk-3.0/modules,
 * LIBDIR/gtk-4.0/4.0.0/printbackends) with the pane part in LIBDIR/kvx (the
 * install rule gives the relative path); in the build tree, the build's own
 * pane part. */
static const char kInstalledPanePartFromLoader[] = KVX_INSTALLED_PANE_PART_FROM_LOADER;
static const char kBuildPanePart[] = KVX_BUILD_PANE_PART;

static gchar *find_pane_part(void) {
    Dl_info self;
    if (dladdr((const void *)find_pane_part, &self) != 0 && self.dli_fname != NULL) {
        gchar *folder = g_path_get_dirname(self.dli_fname);
        gchar *installed = g_build_filename(folder, kInstalledPanePartFromLoader, NULL);
        g_free(folder);
        if (g_file_test(installed, G_FILE_TEST_EXISTS)) return installed;
        g_free(installed);
    }
    return g_strdup(kBuildPanePart);
}

/* Runs once, for the first print dialog: the pane part, once loaded, hooks
 * the later ones itself; one that cannot load costs one line, and every
 * dialog stays as it is without the module. */
static gboolean on_widget_shown(GSignalInvocationHint *hint, guint count, const GValue *parameters, gpointer data) {
    (void)hint, (void)count, (void)data;
    GObject *widget = g_value_get_object(&parameters[0]);
    if (!GTK_IS_PRINT_UNIX_DIALOG(widget)) return TRUE;
    gchar *path = find_pane_part();
    void *library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    KVXPrintPanePartStart start =
        library != NULL ? (KVXPrintPanePartStart)dlsym(library, KVX_PRINT_PANE_PART_START) : NULL;
    if (start != NULL) {
        start(GTK_PRINT_UNIX_DIALOG(widget));
    } else {
        const char *why = dlerror();
        /* Not g_printerr: programs may put their own words before it
         * (xdg-desktop-portal-gnome writes "error: "). */
        fprintf(stderr, "kvx-print: cannot load %s (%s); print dialogs go on without the pane\n", path,
                why != NULL ? why : "no entry");
        if (library != NULL) dlclose(library);
    }
    g_free(path);
    return FALSE;
}

static void hook_print_dialogs(void) {
    /* A class's signals exist once the class does. */
    g_type_class_unref(g_type_class_ref(GTK_TYPE_WIDGET));
    g_signal_add_emission_hook(g_signal_lookup("show", GTK_TYPE_WIDGET), 0, on_widget_shown, NULL, NULL);
}

#if GTK_MAJOR_VERSION == 3
G_MODULE_EXPORT void gtk_module_init(gint *argc, gchar ***argv) {
    (void)argc, (void)argv;
    hook_print_dialogs();
}
#else
/* GLib unloads a scanned module again unless it holds itself. */
G_MODULE_EXPORT void g_io_module_load(GIOModule *module) {
    g_type_module_use(G_TYPE_MODULE(module));
    hook_print_dialogs();
}

G_MODULE_EXPORT void g_io_module_unload(GIOModule *module) {
    (void)module;
}
#endif
