// GTK 3's option widgets: each holds a combo box whose second column is
// the PPD choice; GTK reads the combo back into the job's settings.
#include "print-dialogs/gtk-common/gtk_option_widgets.hpp"

#include "print-dialogs/glib/printer_option.hpp"

namespace kvx::gtk_print {
namespace {

constexpr const char *kOptionWidgetSourceProperty = "source";
constexpr gint kChoiceColumn = 1;  // the display text is in column 0

GtkComboBox *InnerCombo(GtkWidget *optionWidget) {
    GtkComboBox *combo = nullptr;
    GList *children = gtk_container_get_children(GTK_CONTAINER(optionWidget));
    for (GList *child = children; child != nullptr && combo == nullptr; child = child->next) {
        if (GTK_IS_COMBO_BOX(child->data)) combo = GTK_COMBO_BOX(child->data);
    }
    g_list_free(children);
    return combo;
}

gint RowOf(GtkWidget *grid, GtkWidget *child) {
    gint row = 0;
    gtk_container_child_get(GTK_CONTAINER(grid), child, "top-attach", &row, nullptr);
    return row;
}

// GTK lays each option out in a grid row: its label, then its widget.
void AddGridOptions(GtkWidget *grid, GType optionWidgetType, std::vector<DialogOption> &found) {
    GList *children = gtk_container_get_children(GTK_CONTAINER(grid));
    for (GList *child = children; child != nullptr; child = child->next) {
        auto *optionWidget = GTK_WIDGET(child->data);
        GtkComboBox *combo =
            G_TYPE_CHECK_INSTANCE_TYPE(optionWidget, optionWidgetType) ? InnerCombo(optionWidget) : nullptr;
        if (combo == nullptr) continue;
        for (GList *other = children; other != nullptr; other = other->next) {
            auto *label = GTK_WIDGET(other->data);
            if (GTK_IS_LABEL(label) && RowOf(grid, label) == RowOf(grid, optionWidget)) {
                found.push_back({label, optionWidget, G_OBJECT(combo)});
                break;
            }
        }
    }
    g_list_free(children);
}

}  // namespace

void AddDialogOptions(GtkWidget *widget, GType optionWidgetType, std::vector<DialogOption> &found) {
    if (GTK_IS_GRID(widget)) AddGridOptions(widget, optionWidgetType, found);
    if (!GTK_IS_CONTAINER(widget)) return;
    GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList *child = children; child != nullptr; child = child->next) {
        AddDialogOptions(GTK_WIDGET(child->data), optionWidgetType, found);
    }
    g_list_free(children);
}

namespace {

// The row of the combo whose choice is `choice`.
std::optional<GtkTreeIter> FindRow(GtkComboBox *combo, const std::string &choice) {
    GtkTreeModel *model = gtk_combo_box_get_model(combo);
    GtkTreeIter row;
    if (model == nullptr || gtk_tree_model_get_n_columns(model) <= kChoiceColumn ||
        gtk_tree_model_get_column_type(model, kChoiceColumn) != G_TYPE_STRING ||
        !gtk_tree_model_get_iter_first(model, &row)) {
        return std::nullopt;
    }
    do {
        gchar *value = nullptr;
        gtk_tree_model_get(model, &row, kChoiceColumn, &value, -1);
        const bool same = value != nullptr && choice == value;
        g_free(value);
        if (same) return row;
    } while (gtk_tree_model_iter_next(model, &row));
    return std::nullopt;
}

}  // namespace

std::string OptionName(const DialogOption &option) {
    GObject *source = nullptr;
    g_object_get(option.optionWidget, kOptionWidgetSourceProperty, &source, nullptr);
    if (source == nullptr) return {};
    std::string name = PrinterOptionName(source, LabelText(option));
    g_object_unref(source);
    return name;
}

std::optional<std::string> ChosenChoice(const DialogOption &option) {
    auto *combo = GTK_COMBO_BOX(option.choiceHolder);
    GtkTreeIter row;
    GtkTreeModel *model = gtk_combo_box_get_model(combo);
    if (model == nullptr || gtk_tree_model_get_n_columns(model) <= kChoiceColumn ||
        gtk_tree_model_get_column_type(model, kChoiceColumn) != G_TYPE_STRING ||
        !gtk_combo_box_get_active_iter(combo, &row)) {
        return std::nullopt;
    }
    gchar *value = nullptr;
    gtk_tree_model_get(model, &row, kChoiceColumn, &value, -1);
    std::optional<std::string> choice;
    if (value != nullptr) choice = value;
    g_free(value);
    return choice;
}

bool Choose(const DialogOption &option, const std::string &choice) {
    auto *combo = GTK_COMBO_BOX(option.choiceHolder);
    std::optional<GtkTreeIter> row = FindRow(combo, choice);
    if (!row) return false;
    if (ChosenChoice(option) != choice) gtk_combo_box_set_active_iter(combo, &*row);
    return true;
}

}  // namespace kvx::gtk_print
