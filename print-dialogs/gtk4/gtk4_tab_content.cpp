#include "print-dialogs/gtk-common/gtk_tab_content.hpp"

namespace kvx::gtk_print {
namespace {

constexpr gint kSummarySpacing = 4;
constexpr gint kSummaryColumnSpacing = 12;
constexpr gint kSummaryMargin = 8;

GtkWidget *MakeCell(const std::string &text) {
    GtkWidget *label = gtk_label_new(text.c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0.0F);
    return label;
}

}  // namespace

GtkTabContent::GtkTabContent(session::PaneSession &session, std::function<void()> afterAction)
    : box_(GTK_WIDGET(g_object_ref_sink(gtk_box_new(GTK_ORIENTATION_VERTICAL, kSummarySpacing)))),
      summary_(gtk_grid_new()),
      view_(std::make_unique<GtkPaneView>(session.PaneWindow(), std::move(afterAction))) {
    gtk_grid_set_row_spacing(GTK_GRID(summary_), kSummarySpacing);
    gtk_grid_set_column_spacing(GTK_GRID(summary_), kSummaryColumnSpacing);
    gtk_widget_set_margin_start(summary_, kSummaryMargin);
    gtk_box_append(GTK_BOX(box_), view_->Widget());
    gtk_box_append(GTK_BOX(box_), summary_);
}

GtkTabContent::~GtkTabContent() {
    gtk_box_remove(GTK_BOX(box_), view_->Widget());
    view_.reset();
    GtkWidget *parent = gtk_widget_get_parent(box_);
    if (parent != nullptr && GTK_IS_BOX(parent)) gtk_box_remove(GTK_BOX(parent), box_);
    g_object_unref(box_);
}

// GTK 4 widgets have no show_all: a new cell shows as it is attached.
void GtkTabContent::Draw(const session::SummaryRows &summary) {
    view_->Redraw();
    while (GtkWidget *cell = gtk_widget_get_first_child(summary_)) gtk_grid_remove(GTK_GRID(summary_), cell);
    for (gint row = 0; const auto &[title, value] : summary) {
        gtk_grid_attach(GTK_GRID(summary_), MakeCell(title), 0, row, 1, 1);
        gtk_grid_attach(GTK_GRID(summary_), MakeCell(value), 1, row++, 1, 1);
    }
}

}  // namespace kvx::gtk_print
