#include "dialog_options.hpp"

#include "glib/printer_option.hpp"

namespace kvx::gtk_module {
namespace {

constexpr const char *kOptionWidgetTypeName = "GtkPrinterOptionWidget";
constexpr const char *kSourceProperty = "source";
constexpr const char *kValueProperty = "value";

bool HasProperty(gpointer object, const char *name, GType type) {
    const GParamSpec *property = g_object_class_find_property(G_OBJECT_GET_CLASS(object), name);
    return property != nullptr && g_type_is_a(property->value_type, type);
}

// The dialog attaches each option widget's label with the widget as its
// mnemonic widget. A widget or option without the properties read here
// (GTK's private side changed) is no option: the pane's keys then find no
// widget, and the dialog stays as it is without the tab.
void Walk(GtkWidget *widget, GType optionWidgetType, std::vector<DialogOption> &found) {
    if (GTK_IS_LABEL(widget)) {
        GtkWidget *target = gtk_label_get_mnemonic_widget(GTK_LABEL(widget));
        if (target != nullptr && G_TYPE_CHECK_INSTANCE_TYPE(target, optionWidgetType) &&
            HasProperty(target, kSourceProperty, G_TYPE_OBJECT)) {
            GObject *source = nullptr;
            g_object_get(target, kSourceProperty, &source, nullptr);
            if (source != nullptr && !HasProperty(source, kValueProperty, G_TYPE_STRING)) g_clear_object(&source);
            if (source != nullptr) {
                found.push_back({widget, target, source});
                g_object_unref(source);  // the widget holds it
            }
        }
    }
    for (GtkWidget *child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child)) {
        Walk(child, optionWidgetType, found);
    }
}

}  // namespace

std::vector<DialogOption> FindDialogOptions(GtkWidget *dialog) {
    std::vector<DialogOption> found;
    const GType optionWidgetType = g_type_from_name(kOptionWidgetTypeName);
    if (optionWidgetType != 0) Walk(dialog, optionWidgetType, found);
    return found;
}

std::string LabelText(const DialogOption &option) {
    return gtk_label_get_text(GTK_LABEL(option.label));
}

std::string OptionName(const DialogOption &option) {
    return print_dialogs::PrinterOptionName(option.source, LabelText(option));
}

std::optional<std::string> ChosenChoice(GObject *source) {
    gchar *value = nullptr;
    g_object_get(source, kValueProperty, &value, nullptr);
    if (value == nullptr) return std::nullopt;
    std::string choice = value;
    g_free(value);
    return choice;
}

// GTK leaves the option as it was for a choice it does not offer: what is
// read back tells.
bool Choose(GObject *source, const std::string &choice) {
    if (ChosenChoice(source) != choice) g_object_set(source, kValueProperty, choice.c_str(), nullptr);
    return ChosenChoice(source) == choice;
}

void SetOptionVisible(const DialogOption &option, bool visible) {
    gtk_widget_set_visible(option.label, visible);
    gtk_widget_set_visible(option.optionWidget, visible);
}

}  // namespace kvx::gtk_module
