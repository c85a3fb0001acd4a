#include "dialog/window/summary_view.hpp"

#include <string_view>

namespace kvx::dialog {
namespace {

constexpr std::string_view kSummaryTitle = "Summary";
enum SummaryColumn : gint { kTitleColumn, kValueColumn, kSummaryColumnCount };

}  // namespace

SummaryView::SummaryView()
    : rows_(gtk_list_store_new(kSummaryColumnCount, G_TYPE_STRING, G_TYPE_STRING)),
      frame_(gtk_frame_new(std::string(kSummaryTitle).c_str())) {
    GtkWidget *table = gtk_tree_view_new_with_model(GTK_TREE_MODEL(rows_));
    gtk_widget_set_can_focus(table, FALSE);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(table), FALSE);
    for (const gint column : {kTitleColumn, kValueColumn}) {
        gtk_tree_view_append_column(
            GTK_TREE_VIEW(table),
            gtk_tree_view_column_new_with_attributes("", gtk_cell_renderer_text_new(), "text", column, nullptr));
    }
    gtk_container_add(GTK_CONTAINER(frame_), table);
}

SummaryView::~SummaryView() {
    g_object_unref(rows_);
}

void SummaryView::Show(const session::SummaryRows &rows) {
    gtk_list_store_clear(rows_);
    for (const auto &[title, value] : rows) {
        gtk_list_store_insert_with_values(rows_, nullptr, -1, kTitleColumn, title.c_str(), kValueColumn, value.c_str(),
                                          -1);
    }
}

}  // namespace kvx::dialog
