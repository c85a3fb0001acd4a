#include "generic_options.hpp"

#include "glib/printer_option.hpp"

namespace kvx::gtk_module {
namespace {

constexpr const char *kOptionWidgetTypeName = "GtkPrinterOptionWidget";
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
void AddGridOptions(GtkWidget *grid, GType optionWidgetType, std::vector<GenericOption> &found) {
    GList *children = gtk_container_get_children(GTK_CONTAINER(grid));
    for (GList *child = children; child != nullptr; child = child->next) {
        auto *optionWidget = GTK_WIDGET(child->data);
        GtkComboBox *combo =
            G_TYPE_CHECK_INSTANCE_TYPE(optionWidget, optionWidgetType) ? InnerCombo(optionWidget) : nullptr;
        if (combo == nullptr) continue;
        for (GList *other = children; other != nullptr; other = other->next) {
            auto *label = GTK_WIDGET(other->data);
            if (GTK_IS_LABEL(label) && RowOf(grid, label) == RowOf(grid, optionWidget)) {
                found.push_back({label, optionWidget, combo});
                break;
            }
        }
    }
    g_list_free(children);
}

void Walk(GtkWidget *widget, GType optionWidgetType, std::vector<GenericOption> &found) {
    if (GTK_IS_GRID(widget)) AddGridOptions(widget, optionWidgetType, found);
    if (!GTK_IS_CONTAINER(widget)) return;
    GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList *child = children; child != nullptr; child = child->next) {
        Walk(GTK_WIDGET(child->data), optionWidgetType, found);
    }
    g_list_free(children);
}

// A container shows something when a child other than a label is visible:
// a group whose options are all hidden keeps only its title.
bool ShowsAnything(GtkWidget *container) {
    if (!GTK_IS_CONTAINER(container)) return true;
    GList *children = gtk_container_get_children(GTK_CONTAINER(container));
    bool shows = false;
    for (GList *child = children; child != nullptr && !shows; child = child->next) {
        shows = gtk_widget_get_visible(GTK_WIDGET(child->data)) && !GTK_IS_LABEL(child->data);
    }
    g_list_free(children);
    return shows;
}

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

std::vector<GenericOption> FindGenericOptions(GtkWidget *dialog) {
    std::vector<GenericOption> found;
    const GType optionWidgetType = g_type_from_name(kOptionWidgetTypeName);
    if (optionWidgetType != 0) Walk(dialog, optionWidgetType, found);
    return found;
}

std::string LabelText(const GenericOption &option) {
    return gtk_label_get_text(GTK_LABEL(option.label));
}

std::string OptionName(const GenericOption &option) {
    GObject *source = nullptr;
    g_object_get(option.optionWidget, kOptionWidgetSourceProperty, &source, nullptr);
    if (source == nullptr) return {};
    std::string name = print_dialogs::PrinterOptionName(source, LabelText(option));
    g_object_unref(source);
    return name;
}

std::optional<std::string> ChosenChoice(GtkComboBox *combo) {
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

bool Choose(GtkComboBox *combo, const std::string &choice) {
    std::optional<GtkTreeIter> row = FindRow(combo, choice);
    if (!row) return false;
    if (ChosenChoice(combo) != choice) gtk_combo_box_set_active_iter(combo, &*row);
    return true;
}

void HideGenericOption(const GenericOption &option, std::vector<GtkWidget *> &hidden) {
    gtk_widget_hide(option.label);
    gtk_widget_hide(option.optionWidget);
    for (GtkWidget *container = gtk_widget_get_parent(option.optionWidget); container != nullptr;
         container = gtk_widget_get_parent(container)) {
        GtkWidget *parent = gtk_widget_get_parent(container);
        if (parent == nullptr || ShowsAnything(container)) return;
        gtk_widget_hide(container);
        hidden.push_back(GTK_WIDGET(g_object_ref(container)));
        if (GTK_IS_NOTEBOOK(parent)) return;
    }
}

void RestoreHiddenContainers(std::vector<GtkWidget *> &hidden) {
    // Innermost first: an outer container shows again once an inner one does.
    for (GtkWidget *container : hidden) {
        if (gtk_widget_get_parent(container) != nullptr && ShowsAnything(container)) gtk_widget_show(container);
    }
    ForgetHiddenContainers(hidden);
}

void ForgetHiddenContainers(std::vector<GtkWidget *> &hidden) {
    for (GtkWidget *container : hidden) g_object_unref(container);
    hidden.clear();
}

}  // namespace kvx::gtk_module
