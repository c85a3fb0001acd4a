#include "print-dialogs/gtk-common/gtk_added_options.hpp"

#include "print-dialogs/glib/printer_option.hpp"
#include "print-dialogs/gtk-common/gtk_option_widgets.hpp"

// GTK's own declarations (gtkprinteroption.h, gtkprinteroptionset.h) are
// not installed; these are the same functions, each object as a GObject.
extern "C" {
GObject *gtk_printer_option_new(const char *name, const char *display_text, int type);
void gtk_printer_option_choices_from_array(GObject *option, int num_choices, char *choices[], char *choices_display[]);
void gtk_printer_option_set_add(GObject *set, GObject *option);
void gtk_printer_option_set_remove(GObject *set, GObject *option);
GObject *gtk_printer_option_set_lookup(GObject *set, const char *name);
}

namespace kvx::gtk_print {
namespace {

constexpr const char *kOptionSetTypeName = "GtkPrinterOptionSet";
constexpr const char *kChangedSignal = "changed";
constexpr const char *kSourceProperty = "source";
constexpr const char *kValueProperty = "value";
constexpr int kPickOneType = 1;  // GTK_PRINTER_OPTION_TYPE_PICKONE, a PPD's PickOne option

gboolean RememberEmitter(GSignalInvocationHint *, guint, const GValue *parameters, gpointer emitter) {
    *static_cast<GObject **>(emitter) = G_OBJECT(g_value_get_object(&parameters[0]));
    return TRUE;
}

// GTK offers no way to the dialog's set, but the set says "changed" for
// each of its options, and the dialog listens to its own set. So an option
// of the dialog's widgets says "changed" once more, with the widget itself
// not listening (it would only show the same value again), and the set
// that passes it on, when the dialog listens to it, is the dialog's. What
// else hears it (GTK marks the options' conflicts again) happens on every
// change of an option.
GObject *FindDialogOptionSet(GtkPrintUnixDialog *dialog) {
    const GType setType = g_type_from_name(kOptionSetTypeName);
    if (setType == 0) return nullptr;
    const guint changed = g_signal_lookup(kChangedSignal, setType);
    GObject *set = nullptr;
    const gulong hook = g_signal_add_emission_hook(changed, 0, RememberEmitter, &set, nullptr);
    const auto listensToSet = [&] {
        return set != nullptr && g_signal_handler_find(set, GSignalMatchType(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_DATA),
                                                       changed, 0, nullptr, nullptr, dialog) != 0;
    };
    for (const DialogOption &option : FindDialogOptions(GTK_WIDGET(dialog))) {
        GObject *source = nullptr;
        g_object_get(option.optionWidget, kSourceProperty, &source, nullptr);
        if (source == nullptr) continue;
        set = nullptr;
        g_signal_handlers_block_matched(source, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, option.optionWidget);
        g_signal_emit_by_name(source, kChangedSignal);
        g_signal_handlers_unblock_matched(source, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, option.optionWidget);
        g_object_unref(source);
        if (listensToSet()) break;
        set = nullptr;
    }
    g_signal_remove_emission_hook(changed, hook);
    return set;
}

std::optional<std::string> ValueOf(GObject *option) {
    gchar *value = nullptr;
    g_object_get(option, kValueProperty, &value, nullptr);
    std::optional<std::string> choice;
    if (value != nullptr && *value != '\0') choice = value;
    g_free(value);
    return choice;
}

}  // namespace

std::string AddedOptions::Add(GtkPrintUnixDialog *dialog, const session::QueueAnswer &answer) {
    Remove();
    GObject *set = FindDialogOptionSet(dialog);
    if (set == nullptr) return "the print dialog's own options are not to be found";
    for (const session::OptionText &text : answer.options.texts) {
        if (gtk_printer_option_set_lookup(set, CupsSettingKey(text.key).c_str()) != nullptr) {
            return "the print dialog has an option " + text.key + " of its own, without a widget";
        }
    }
    set_ = G_OBJECT(g_object_ref(set));
    for (const session::OptionText &text : answer.options.texts) {
        std::vector<char *> choices;
        if (const auto offered = answer.options.choices.find(text.key); offered != answer.options.choices.end()) {
            for (const std::string &choice : offered->second) choices.push_back(const_cast<char *>(choice.c_str()));
        }
        GObject *option = gtk_printer_option_new(CupsSettingKey(text.key).c_str(), text.text.c_str(), kPickOneType);
        // No widget shows them, so each choice is its own display text.
        gtk_printer_option_choices_from_array(option, static_cast<int>(choices.size()), choices.data(), choices.data());
        if (const auto initial = answer.options.defaults.find(text.key); initial != answer.options.defaults.end()) {
            g_object_set(option, kValueProperty, initial->second.c_str(), nullptr);
        }
        gtk_printer_option_set_add(set_, option);
        options_.emplace(text.key, option);
    }
    return {};
}

void AddedOptions::Remove() {
    for (const auto &[key, option] : options_) {
        gtk_printer_option_set_remove(set_, option);
        g_object_unref(option);
    }
    options_.clear();
    g_clear_object(&set_);
}

std::optional<std::string> AddedOptions::Choice(std::string_view key) const {
    const auto option = options_.find(key);
    return option != options_.end() ? ValueOf(option->second) : std::nullopt;
}

// GTK leaves the option as it was for a choice it does not offer: what is
// read back tells.
bool AddedOptions::Choose(std::string_view key, const std::string &choice) {
    const auto option = options_.find(key);
    if (option == options_.end()) return false;
    if (ValueOf(option->second) != choice) g_object_set(option->second, kValueProperty, choice.c_str(), nullptr);
    return ValueOf(option->second) == choice;
}

}  // namespace kvx::gtk_print
