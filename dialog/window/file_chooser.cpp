#include "dialog/window/file_chooser.hpp"

namespace kvx::dialog {

std::optional<std::string> AskForFile(GtkWindow *parent, const FileQuestion &question) {
    GtkWidget *chooser = gtk_file_chooser_dialog_new(std::string(question.title).c_str(), parent, question.action,
                                                     "_Cancel", GTK_RESPONSE_CANCEL,
                                                     std::string(question.acceptLabel).c_str(), GTK_RESPONSE_ACCEPT,
                                                     nullptr);
    if (question.action == GTK_FILE_CHOOSER_ACTION_SAVE) {
        gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(chooser), TRUE);
        gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), std::string(question.suggestedName).c_str());
    }
    if (!question.filterName.empty()) {
        GtkFileFilter *filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, std::string(question.filterName).c_str());
        for (const std::string_view glob : question.filterGlobs) {
            gtk_file_filter_add_pattern(filter, std::string(glob).c_str());
        }
        gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), filter);
    }
    std::optional<std::string> chosen;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        gchar *path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
        if (path != nullptr) chosen = path;
        g_free(path);
    }
    gtk_widget_destroy(chooser);
    return chosen;
}

}  // namespace kvx::dialog
