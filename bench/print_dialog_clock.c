/* A program that shows GTK's print dialog and tells, on its own monotonic
 * clock, what the person did in it and what the dialog made of it, for
 * tab_timing.sh; built for GTK 3 and for GTK 4, it knows nothing of
 * kvx-print. One line each, microseconds at the end:
 *   pressed T            a mouse button or a key went down in the dialog
 *   selected PRINTER T   the dialog reports PRINTER selected (notify::selected-printer)
 * It opens the dialog on PRINTER and runs until it is stopped.
 *   kvx-bench-print-dialog-gtk3|gtk4 PRINTER */
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>
#include <stdio.h>

static void report(const char *what, const char *printer) {
    printf("%s%s%s %" G_GINT64_FORMAT "\n", what, printer != NULL ? " " : "", printer != NULL ? printer : "",
           g_get_monotonic_time());
    fflush(stdout);
}

static void on_selected(GObject *dialog, GParamSpec *spec, gpointer data) {
    (void)spec, (void)data;
    GtkPrinter *printer = gtk_print_unix_dialog_get_selected_printer(GTK_PRINT_UNIX_DIALOG(dialog));
    report("selected", printer != NULL ? gtk_printer_get_name(printer) : "none");
}

/* What the person does, seen before any widget takes it. */
#if GTK_MAJOR_VERSION == 3
static void on_event(GdkEvent *event, gpointer data) {
    (void)data;
    if (event->type == GDK_BUTTON_PRESS || event->type == GDK_KEY_PRESS) report("pressed", NULL);
    gtk_main_do_event(event);
}
#else
static gboolean on_event(GtkEventControllerLegacy *controller, GdkEvent *event, gpointer data) {
    (void)controller, (void)data;
    const GdkEventType type = gdk_event_get_event_type(event);
    if (type == GDK_BUTTON_PRESS || type == GDK_KEY_PRESS) report("pressed", NULL);
    return FALSE;
}
#endif

int main(int argc, char **argv) {
#if GTK_MAJOR_VERSION == 3
    gtk_init(&argc, &argv);
#else
    gtk_init();
#endif
    if (argc != 2) {
        fprintf(stderr, "usage: %s PRINTER\n", argv[0]);
        return 2;
    }
    GtkPrintSettings *settings = gtk_print_settings_new();
    gtk_print_settings_set_printer(settings, argv[1]);
    GtkWidget *dialog = gtk_print_unix_dialog_new("Print", NULL);
    gtk_print_unix_dialog_set_settings(GTK_PRINT_UNIX_DIALOG(dialog), settings);
    g_object_unref(settings);
    g_signal_connect(dialog, "notify::selected-printer", G_CALLBACK(on_selected), NULL);
#if GTK_MAJOR_VERSION == 3
    gdk_event_handler_set(on_event, NULL, NULL);
    gtk_widget_show(dialog);
    gtk_main();
#else
    GtkEventController *events = gtk_event_controller_legacy_new();
    gtk_event_controller_set_propagation_phase(events, GTK_PHASE_CAPTURE);
    g_signal_connect(events, "event", G_CALLBACK(on_event), NULL);
    gtk_widget_add_controller(dialog, events);
    gtk_window_present(GTK_WINDOW(dialog));
    for (;;) g_main_context_iteration(NULL, TRUE);
#endif
    return 0;
}
