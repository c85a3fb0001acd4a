/* An ordinary GTK 3 application that prints, knowing nothing of kvx-print:
 * it shows the print dialog DIALOGS times in a row, handing each dialog the
 * settings the last one ended with, as editors do. STYLE is how it asks:
 *   modal  gtk_print_operation_run, blocking
 *   async  gtk_print_operation_run with allow-async, then the main loop
 *   unix   its own GtkPrintUnixDialog, hidden and shown again for the next
 *          print, then a GtkPrintJob
 * It starts on PRINTER, from the settings in the key file SETTINGS when
 * given (as an editor starts from those it saved), and writes "printed" on
 * stdout as each print is done; a dialog canceled or a job that fails
 * aborts it. */
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>
#include <stdlib.h>
#include <string.h>

static GtkPrintSettings *last_settings;
static gboolean finished;  /* the current print's end was reported */
static gboolean queued;    /* its job is on the scheduler */

static void draw_page(GtkPrintOperation *operation, GtkPrintContext *context, gint page, gpointer data) {
    (void)operation, (void)page, (void)data;
    cairo_t *cr = gtk_print_context_get_cairo_context(context);
    cairo_move_to(cr, 20, 40);
    cairo_show_text(cr, "kvx-print test page");
}

static void keep_settings(GtkPrintSettings *settings) {
    g_clear_object(&last_settings);
    last_settings = gtk_print_settings_copy(settings);
}

static void report_printed(void) {
    printf("printed\n");
    fflush(stdout);
}

static void operation_done(GtkPrintOperation *operation, GtkPrintOperationResult result, gpointer data) {
    (void)data;
    if (result != GTK_PRINT_OPERATION_RESULT_APPLY) g_error("print_app: the print was not applied");
    keep_settings(gtk_print_operation_get_print_settings(operation));
    report_printed();
    finished = TRUE;
}

/* An async operation is done before its job has reached the scheduler. */
static void operation_status_changed(GtkPrintOperation *operation, gpointer data) {
    (void)data;
    if (gtk_print_operation_get_status(operation) >= GTK_PRINT_STATUS_PENDING) queued = TRUE;
}

static void wait_until_finished(void) {
    while (!finished || !queued) g_main_context_iteration(NULL, TRUE);
    finished = queued = FALSE;
}

static void run_operation(gboolean async) {
    GtkPrintOperation *operation = gtk_print_operation_new();
    gtk_print_operation_set_print_settings(operation, last_settings);
    gtk_print_operation_set_n_pages(operation, 1);
    gtk_print_operation_set_allow_async(operation, async);
    g_signal_connect(operation, "draw-page", G_CALLBACK(draw_page), NULL);
    gtk_print_operation_set_track_print_status(operation, TRUE);
    g_signal_connect(operation, "done", G_CALLBACK(operation_done), NULL);
    g_signal_connect(operation, "status-changed", G_CALLBACK(operation_status_changed), NULL);
    GError *error = NULL;
    GtkPrintOperationResult result =
        gtk_print_operation_run(operation, GTK_PRINT_OPERATION_ACTION_PRINT_DIALOG, NULL, &error);
    if (result == GTK_PRINT_OPERATION_RESULT_ERROR || result == GTK_PRINT_OPERATION_RESULT_CANCEL) {
        g_error("print_app: %s", error != NULL ? error->message : "the dialog was canceled");
    }
    wait_until_finished();
    g_object_unref(operation);
}

static void job_sent(GtkPrintJob *job, gpointer data, const GError *error) {
    (void)job, (void)data;
    if (error != NULL) g_error("print_app: %s", error->message);
    report_printed();
    finished = queued = TRUE;
}

static void run_own_dialog(GtkWidget *dialog) {
    gtk_print_unix_dialog_set_settings(GTK_PRINT_UNIX_DIALOG(dialog), last_settings);
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_hide(dialog);
    if (response != GTK_RESPONSE_OK) g_error("print_app: the dialog was canceled");
    GtkPrintUnixDialog *unix_dialog = GTK_PRINT_UNIX_DIALOG(dialog);
    GtkPrintSettings *settings = gtk_print_unix_dialog_get_settings(unix_dialog);
    keep_settings(settings);
    GtkPrintJob *job = gtk_print_job_new("kvx-print test", gtk_print_unix_dialog_get_selected_printer(unix_dialog),
                                         settings, gtk_print_unix_dialog_get_page_setup(unix_dialog));
    g_object_unref(settings);
    GError *error = NULL;
    cairo_surface_t *surface = gtk_print_job_get_surface(job, &error);
    if (surface == NULL) g_error("print_app: %s", error->message);
    cairo_t *cr = cairo_create(surface);  /* one empty page */
    cairo_show_page(cr);
    cairo_destroy(cr);
    gtk_print_job_send(job, job_sent, NULL, NULL);
    wait_until_finished();
    g_object_unref(job);
}

int main(int argc, char **argv) {
    gtk_init(&argc, &argv);
    if (argc != 4 && argc != 5) {
        fprintf(stderr, "usage: print_app modal|async|unix PRINTER DIALOGS [SETTINGS]\n");
        return 2;
    }
    const char *style = argv[1];
    GError *error = NULL;
    last_settings = argc == 5 ? gtk_print_settings_new_from_file(argv[4], &error) : gtk_print_settings_new();
    if (last_settings == NULL) g_error("print_app: %s", error->message);
    gtk_print_settings_set_printer(last_settings, argv[2]);
    GtkWidget *own_dialog = gtk_print_unix_dialog_new("Print", NULL);
    for (int dialog = atoi(argv[3]); dialog > 0; --dialog) {
        if (strcmp(style, "unix") == 0) run_own_dialog(own_dialog);
        else run_operation(strcmp(style, "async") == 0);
    }
    gtk_widget_destroy(own_dialog);
    g_clear_object(&last_settings);
    return 0;
}
