#include "print-dialogs/gtk-common/gtk_option_widgets.hpp"

namespace kvx::gtk_print {
namespace {

constexpr const char *kOptionWidgetTypeName = "GtkPrinterOptionWidget";

std::vector<GtkWidget *> Children(GtkWidget *widget) {
    std::vector<GtkWidget *> children;
#if GTK_MAJOR_VERSION == 3
    if (!GTK_IS_CONTAINER(widget)) return children;
    GList *list = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList *child = list; child != nullptr; child = child->next) children.push_back(GTK_WIDGET(child->data));
    g_list_free(list);
#else
    for (GtkWidget *child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child)) {
        children.push_back(child);
    }
#endif
    return children;
}

// A container shows something when a child other than a label is visible:
// a group whose options are all hidden keeps only its title. A GTK 4
// scrolled window counts its scroll bars among its children.
bool ShowsAnything(GtkWidget *container) {
    for (GtkWidget *child : Children(container)) {
        if (gtk_widget_get_visible(child) && !GTK_IS_LABEL(child) && !GTK_IS_SCROLLBAR(child)) return true;
    }
    return false;
}

// GTK 4 keeps a notebook's pages in a stack of its own: the page is found
// through the notebook rather than as its direct child.
bool IsNotebookPage(GtkWidget *widget) {
    GtkWidget *notebook = gtk_widget_get_ancestor(gtk_widget_get_parent(widget), GTK_TYPE_NOTEBOOK);
    return notebook != nullptr && gtk_notebook_page_num(GTK_NOTEBOOK(notebook), widget) >= 0;
}

GtkWidget *Referenced(GtkWidget *widget) {
    return GTK_WIDGET(g_object_ref(widget));
}

}  // namespace

std::vector<DialogOption> FindDialogOptions(GtkWidget *dialog) {
    std::vector<DialogOption> found;
    const GType optionWidgetType = g_type_from_name(kOptionWidgetTypeName);
    if (optionWidgetType != 0) AddDialogOptions(dialog, optionWidgetType, found);
    return found;
}

std::string LabelText(const DialogOption &option) {
    return gtk_label_get_text(GTK_LABEL(option.label));
}

void HiddenOptions::Hide(const DialogOption &option) {
    for (GtkWidget *part : {option.label, option.optionWidget}) {
        gtk_widget_set_visible(part, FALSE);
        options_.push_back(Referenced(part));
    }
    for (GtkWidget *container = gtk_widget_get_parent(option.optionWidget);
         container != nullptr && gtk_widget_get_parent(container) != nullptr && !ShowsAnything(container);
         container = gtk_widget_get_parent(container)) {
        gtk_widget_set_visible(container, FALSE);
        containers_.push_back(Referenced(container));
        if (IsNotebookPage(container)) return;
    }
}

void HiddenOptions::Restore() {
    for (GtkWidget *part : options_) {
        if (gtk_widget_get_parent(part) != nullptr) gtk_widget_set_visible(part, TRUE);
    }
    // Innermost first: an outer container shows again once an inner one does.
    for (GtkWidget *container : containers_) {
        if (gtk_widget_get_parent(container) != nullptr && ShowsAnything(container)) {
            gtk_widget_set_visible(container, TRUE);
        }
    }
    Forget();
}

void HiddenOptions::Forget() {
    for (GtkWidget *widget : options_) g_object_unref(widget);
    for (GtkWidget *widget : containers_) g_object_unref(widget);
    options_.clear();
    containers_.clear();
}

}  // namespace kvx::gtk_print
