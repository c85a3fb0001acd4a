// Where the pane sits in a GTK 3 dialog: known at each allocation.
#include "print-dialogs/gtk-common/gtk_print_dialog_tab.hpp"

namespace kvx::gtk_print {
namespace {

void OnPaneAllocated(GtkWidget *pane, GdkRectangle *, GtkPrintDialogTab *tab) {
    GtkWidget *dialog = gtk_widget_get_toplevel(pane);
    std::pair<gint, gint> at;
    if (gtk_widget_translate_coordinates(pane, dialog, 0, 0, &at.first, &at.second)) tab->PaneAt(at);
}

}  // namespace

void GtkPrintDialogTab::FollowPanePosition(GtkWidget *pane) {
    g_signal_connect(pane, "size-allocate", G_CALLBACK(OnPaneAllocated), this);
}

}  // namespace kvx::gtk_print
