// Where the pane sits in a GTK 4 dialog: GTK 4 has no signal for an
// allocation, so it is read at each frame while the pane is mapped.
#include <cmath>

#include "print-dialogs/gtk-common/gtk_print_dialog_tab.hpp"

namespace kvx::gtk_print {
namespace {

gboolean OnPaneFrame(GtkWidget *pane, GdkFrameClock *, gpointer tab) {
    GtkRoot *dialog = gtk_widget_get_root(pane);
    graphene_point_t at{};
    const graphene_point_t origin{};
    auto *dialogTab = static_cast<GtkPrintDialogTab *>(tab);
    if (!dialogTab->Destroyed() && dialog != nullptr && gtk_widget_get_mapped(pane) &&
        gtk_widget_compute_point(pane, GTK_WIDGET(dialog), &origin, &at)) {
        dialogTab->PaneAt({static_cast<gint>(std::lround(at.x)), static_cast<gint>(std::lround(at.y))});
    }
    return G_SOURCE_CONTINUE;
}

}  // namespace

void GtkPrintDialogTab::FollowPanePosition(GtkWidget *pane) {
    gtk_widget_add_tick_callback(pane, OnPaneFrame, this, nullptr);
}

}  // namespace kvx::gtk_print
