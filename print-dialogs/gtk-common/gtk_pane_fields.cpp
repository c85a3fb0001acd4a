#include "print-dialogs/gtk-common/gtk_pane_fields.hpp"

namespace kvx::gtk_print {
namespace {

void OnInsert(GtkEditable *text, gchar *, gint, gpointer, const bool *redrawing) {
    if (!*redrawing) g_signal_stop_emission_by_name(text, "insert-text");
}

void OnDelete(GtkEditable *text, gint, gint, const bool *redrawing) {
    if (!*redrawing) g_signal_stop_emission_by_name(text, "delete-text");
}

void SetEntryText(GtkWidget *entry, const std::string &text) {
#if GTK_MAJOR_VERSION == 3
    gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
#else
    gtk_editable_set_text(GTK_EDITABLE(entry), text.c_str());
#endif
}

}  // namespace

std::string EntryText(GtkWidget *entry) {
#if GTK_MAJOR_VERSION == 3
    return gtk_entry_get_text(GTK_ENTRY(entry));
#else
    return gtk_editable_get_text(GTK_EDITABLE(entry));
#endif
}

std::pair<gint, gint> EntrySelection(GtkWidget *entry) {
    gint start = 0;
    gint end = 0;
    if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(entry), &start, &end)) {
        start = end = gtk_editable_get_position(GTK_EDITABLE(entry));
    }
    return {start, end};
}

void RedrawField(const session::ControlValue &value, GtkWidget *entry) {
    if (value.text != EntryText(entry)) SetEntryText(entry, value.text);
    const std::pair<gint, gint> selection(static_cast<gint>(value.selectionStart), static_cast<gint>(value.selectionEnd));
    if (EntrySelection(entry) != selection) {
        gtk_editable_select_region(GTK_EDITABLE(entry), selection.first, selection.second);
    }
}

GtkEditable *EditsOf(GtkWidget *entry) {
#if GTK_MAJOR_VERSION == 3
    return GTK_EDITABLE(entry);
#else
    return gtk_editable_get_delegate(GTK_EDITABLE(entry));
#endif
}

void KeepEditsFromEntry(GtkEditable *text, const bool *redrawing) {
    g_signal_connect(text, "insert-text", G_CALLBACK(OnInsert), const_cast<bool *>(redrawing));
    g_signal_connect(text, "delete-text", G_CALLBACK(OnDelete), const_cast<bool *>(redrawing));
}

}  // namespace kvx::gtk_print
