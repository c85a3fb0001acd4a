#include "print-dialogs/gtk-common/gtk_dialog_options.hpp"

#include <algorithm>

#include "print-dialogs/glib/printer_option.hpp"
#include "session/messages.hpp"
#include "session/options/din_policy.hpp"

namespace kvx::gtk_print {
namespace {

void ForEachPart(const DialogOption &option, auto call) {
    for (gpointer part : {gpointer(option.label), gpointer(option.optionWidget), gpointer(option.choiceHolder)}) {
        call(part);
    }
}

}  // namespace

GtkDialogOptions::GtkDialogOptions(GtkPrintUnixDialog *dialog, ChoiceChanged changed)
    : dialog_(dialog), changed_(std::move(changed)) {}

GtkDialogOptions::~GtkDialogOptions() {
    Unbind(false);
}

bool GtkDialogOptions::Holds(std::string_view key) const {
    return added_.Holds(key) || Find(key).has_value();
}

bool GtkDialogOptions::Set(std::string_view key, std::string_view value) {
    if (added_.Holds(key)) return added_.Choose(key, std::string(value));
    const std::optional<DialogOption> option = Find(key);
    return option && Choose(*option, std::string(value));
}

// Binds the dialog's option for each of the pane's keys; none when one is
// missing, since then a value could not reach the job. A forwarding queue's
// dialog has none of them: they are added.
std::string GtkDialogOptions::Bind(const session::QueueAnswer &answer) {
    const std::vector<DialogOption> found = FindDialogOptions(GTK_WIDGET(dialog_));
    std::vector<std::string> labels;
    std::ranges::transform(found, std::back_inserter(labels), LabelText);
    const session::OptionMatch match = session::MatchOptionLabels(answer.options.texts, labels);
    if (match.labelOfKey.empty() && answer.ppd && !answer.ppd->forwardedTo().empty()) return AddOptions(answer);
    if (!match.unmatchedKeys.empty()) {
        return "the print dialog shows no single option widget for " + match.unmatchedKeys.front() + " of " +
               answer.queue;
    }
    for (const auto &[key, index] : match.labelOfKey) {
        const DialogOption &option = found.at(index);
        ForEachPart(option, g_object_ref);
        bound_[key] = option;
        g_signal_connect(option.choiceHolder, "changed", G_CALLBACK(OnChoiceChanged), this);
        hidden_.Hide(option);
    }
    // For a person (or a test) who looks: the pane alone shows these options.
    const auto shown = std::ranges::count_if(bound_, [](const auto &entry) {
        return gtk_widget_get_visible(entry.second.optionWidget) || gtk_widget_get_visible(entry.second.label);
    });
    session::ReportMessage("the dialog shows " + std::to_string(shown) + " of the pane's options itself");
    return {};
}

// They start at the far queue's defaults, and the DIN, as for any printer
// chosen, at its starting digits.
std::string GtkDialogOptions::AddOptions(const session::QueueAnswer &answer) {
    if (const std::string problem = added_.Add(dialog_, answer); !problem.empty()) return problem;
    session::DinPolicy::Reset(*this);
    session::ReportMessage("the dialog sends the pane's options of " + answer.queue + " on to " +
                           answer.ppd->forwardedTo());
    return {};
}

void GtkDialogOptions::Unbind(bool restoreHidden) {
    added_.Remove();
    for (const auto &[key, option] : bound_) {
        g_signal_handlers_disconnect_by_data(option.choiceHolder, this);
        ForEachPart(option, g_object_unref);
    }
    bound_.clear();
    if (restoreHidden) {
        hidden_.Restore();
    } else {
        hidden_.Forget();
    }
}

std::optional<std::string> GtkDialogOptions::Choice(const std::string &key) {
    if (added_.Holds(key)) return added_.Choice(key);
    const std::optional<DialogOption> option = Find(key);
    return option ? ChosenChoice(*option) : std::nullopt;
}

std::optional<DialogOption> GtkDialogOptions::Find(std::string_view key) const {
    if (const auto bound = bound_.find(key); bound != bound_.end()) return bound->second;
    const std::string name = CupsSettingKey(key);
    for (const DialogOption &option : FindDialogOptions(GTK_WIDGET(dialog_))) {
        if (OptionName(option) == name) return option;
    }
    return std::nullopt;
}

void GtkDialogOptions::OnChoiceChanged(GObject *choiceHolder, GtkDialogOptions *options) {
    const auto bound = std::ranges::find_if(
        options->bound_, [&](const auto &entry) { return entry.second.choiceHolder == choiceHolder; });
    if (bound != options->bound_.end()) options->changed_(bound->first, ChosenChoice(bound->second));
}

}  // namespace kvx::gtk_print
