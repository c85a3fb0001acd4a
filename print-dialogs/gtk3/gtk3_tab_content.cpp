#include "print-dialogs/gtk-common/gtk_tab_content.hpp"

namespace kvx::gtk_print {
namespace {

constexpr gint kSummarySpacing = 4;
constexpr gint kSummaryColumnSpacing = 12;
constexpr gint kSummaryMargin = 8;
constexpr float kStartAlignment = 0.0F;

GtkWidget *MakeCell(const std::string &text) {
    GtkWidget *label = gtk_label_new(text.c_str());
    gtk_label_set_xalign(GTK_LABEL(label), kStartAlignment);
    return label;
}

}  // namespace

GtkTabContent::GtkTabContent(session::PaneSession &session, std::function<void()> afterAction)
    : box_(gtk_box_new(GTK_ORIENTATION_VERTICAL, kSummarySpacing)),
      summary_(gtk_grid_new()),
      view_(std::make_unique<GtkPaneView>(session.PaneWindow(), std::move(afterAction))) {
    g_object_ref_sink(box_);
    gtk_box_pack_end(GTK_BOX(box_), summary_, FALSE, FALSE, 0);
    gtk_grid_set_row_spacing(GTK_GRID(summary_), kSummarySpacing);
    gtk_grid_set_column_spacing(GTK_GRID(summary_), kSummaryColumnSpacing);
    gtk_widget_set_margin_start(summary_, kSummaryMargin);
    gtk_box_pack_start(GTK_BOX(box_), view_->Widget(), FALSE, FALSE, 0);
    gtk_widget_show_all(box_);
}

// The view lets its widgets go first: destroying the box finalizes them.
GtkTabContent::~GtkTabContent() {
    view_.reset();
    gtk_widget_destroy(box_);
    g_object_unref(box_);
}

void GtkTabContent::Draw(const session::SummaryRows &summary) {
    view_->Redraw();
    GList *cells = gtk_container_get_children(GTK_CONTAINER(summary_));
    for (GList *cell = cells; cell != nullptr; cell = cell->next) gtk_widget_destroy(GTK_WIDGET(cell->data));
    g_list_free(cells);
    for (gint row = 0; const auto &[title, value] : summary) {
        gtk_grid_attach(GTK_GRID(summary_), MakeCell(title), 0, row, 1, 1);
        gtk_grid_attach(GTK_GRID(summary_), MakeCell(value), 1, row++, 1, 1);
    }
    gtk_widget_show_all(summary_);
}

}  // namespace kvx::gtk_print
