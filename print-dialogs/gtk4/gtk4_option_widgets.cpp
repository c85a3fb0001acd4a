// GTK 4's option widgets: each shows a GtkPrinterOption (its "source"),
// read and written through the option's "value", which GTK reads back
// into the job's settings.
#include "print-dialogs/gtk-common/gtk_option_widgets.hpp"

#include "print-dialogs/glib/printer_option.hpp"

namespace kvx::gtk_print {
namespace {

constexpr const char *kSourceProperty = "source";
constexpr const char *kValueProperty = "value";

bool HasProperty(gpointer object, const char *name, GType type) {
    const GParamSpec *property = g_object_class_find_property(G_OBJECT_GET_CLASS(object), name);
    return property != nullptr && g_type_is_a(property->value_type, type);
}

}  // namespace

// The dialog attaches each option widget's label with the widget as its
// mnemonic widget. A widget or option without the properties read here
// (GTK's private side changed) is no option: the pane's keys then find no
// widget, and the dialog stays as it is without the tab.
void AddDialogOptions(GtkWidget *widget, GType optionWidgetType, std::vector<DialogOption> &found) {
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
        AddDialogOptions(child, optionWidgetType, found);
    }
}

std::string OptionName(const DialogOption &option) {
    return PrinterOptionName(option.choiceHolder, LabelText(option));
}

std::optional<std::string> ChosenChoice(const DialogOption &option) {
    gchar *value = nullptr;
    g_object_get(option.choiceHolder, kValueProperty, &value, nullptr);
    if (value == nullptr) return std::nullopt;
    std::string choice = value;
    g_free(value);
    return choice;
}

// GTK leaves the option as it was for a choice it does not offer: what is
// read back tells.
bool Choose(const DialogOption &option, const std::string &choice) {
    if (ChosenChoice(option) != choice) g_object_set(option.choiceHolder, kValueProperty, choice.c_str(), nullptr);
    return ChosenChoice(option) == choice;
}

}  // namespace kvx::gtk_print
