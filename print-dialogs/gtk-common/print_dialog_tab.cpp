#include "print_dialog_tab.hpp"

#include <algorithm>

#include "core/din_policy.hpp"
#include "core/report.hpp"
#include "queue_pane.hpp"

namespace kvx::gtk_module {

using print_dialogs::Guarded;

namespace {

constexpr gint kTabMargin = 12;

void ForEachPart(const DialogOption &option, auto call) {
    for (gpointer part : {gpointer(option.label), gpointer(option.optionWidget), gpointer(option.choiceHolder)}) {
        call(part);
    }
}

}  // namespace

PrintDialogTab::PrintDialogTab(GtkPrintUnixDialog *dialog, std::string plugInsFolder)
    : GtkDialogTab(dialog, std::move(plugInsFolder)),
      tab_(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0)),
      tabLabel_(gtk_label_new("")) {
    for (auto side : {gtk_widget_set_margin_start, gtk_widget_set_margin_end, gtk_widget_set_margin_top,
                      gtk_widget_set_margin_bottom}) {
        side(tab_, kTabMargin);
    }
    gtk_print_unix_dialog_add_custom_tab(dialog_, tab_, tabLabel_);
    gtk_widget_set_visible(tab_, FALSE);
    OnPrinterSelected();
}

PrintDialogTab::~PrintDialogTab() {
    Destroy();
}

bool PrintDialogTab::ResetDialogDIN() {
    bool found = false;
    const std::string digit(print_dialogs::kDINStartingDigit);
    for (const DialogOption &option : FindDialogOptions(GTK_WIDGET(dialog_))) {
        const std::string name = OptionName(option);
        if (!print_dialogs::IsDINSetting(name)) continue;
        found = true;
        if (!Choose(option, digit)) {
            print_dialogs::ReportProblem("the print dialog offers no " + digit + " for " + name +
                                         "; it keeps its own choice");
        }
    }
    return found;
}

std::vector<std::string> PrintDialogTab::OptionLabels() {
    foundOptions_ = FindDialogOptions(GTK_WIDGET(dialog_));
    std::vector<std::string> labels;
    std::ranges::transform(foundOptions_, std::back_inserter(labels), LabelText);
    return labels;
}

void PrintDialogTab::BindOption(const std::string &key, size_t labelIndex) {
    const DialogOption &option = foundOptions_.at(labelIndex);
    ForEachPart(option, g_object_ref);
    boundOptions_[key] = option;
    g_signal_connect(option.choiceHolder, "changed", G_CALLBACK(OnChoiceChanged), this);
    hidden_.Hide(option);
}

void PrintDialogTab::UnbindOptions(bool restoreHidden) {
    for (const auto &[key, option] : boundOptions_) {
        g_signal_handlers_disconnect_by_data(option.choiceHolder, this);
        ForEachPart(option, g_object_unref);
    }
    boundOptions_.clear();
    if (restoreHidden) {
        hidden_.Restore();
    } else {
        hidden_.Forget();
    }
}

std::optional<std::string> PrintDialogTab::OptionChoice(const std::string &key) {
    return ChosenChoice(boundOptions_.at(key));
}

bool PrintDialogTab::ChooseOption(const std::string &key, const std::string &choice) {
    return Choose(boundOptions_.at(key), choice);
}

std::unique_ptr<print_dialogs::TabPane> PrintDialogTab::MakePane(const print_dialogs::QueueAnswer &answer,
                                                                 const std::string &plugInsFolder,
                                                                 const print_dialogs::Choices &starting) {
    auto pane = std::make_unique<QueuePane>(answer, plugInsFolder, starting, [this] { AfterPaneAction(); });
    FollowPanePosition(pane->Widget());
    return pane;
}

void PrintDialogTab::ShowInTab(print_dialogs::TabPane &pane) {
    GtkWidget *widget = static_cast<QueuePane &>(pane).Widget();
#if GTK_MAJOR_VERSION == 3
    gtk_container_foreach(
        GTK_CONTAINER(tab_), [](GtkWidget *child, gpointer tab) { gtk_container_remove(GTK_CONTAINER(tab), child); },
        tab_);
    gtk_box_pack_start(GTK_BOX(tab_), widget, FALSE, FALSE, 0);
#else
    while (GtkWidget *child = gtk_widget_get_first_child(tab_)) gtk_box_remove(GTK_BOX(tab_), child);
    gtk_box_append(GTK_BOX(tab_), widget);
#endif
    gtk_label_set_text(GTK_LABEL(tabLabel_), pane.Title().c_str());
    gtk_widget_set_visible(tab_, TRUE);
    KeepRunLoopTurning();
}

void PrintDialogTab::HideTab() {
    gtk_widget_set_visible(tab_, FALSE);
}

void PrintDialogTab::PaneAt(std::pair<gint, gint> position) {
    if (position != std::exchange(panePosition_, position)) {
        g_debug("pane of %s at %d,%d in the dialog", SelectedQueue().c_str(), position.first, position.second);
    }
}

void PrintDialogTab::OnChoiceChanged(GObject *choiceHolder, PrintDialogTab *tab) {
    Guarded([&] {
        const auto bound = std::ranges::find_if(
            tab->boundOptions_, [&](const auto &entry) { return entry.second.choiceHolder == choiceHolder; });
        if (bound != tab->boundOptions_.end()) tab->OnOptionChanged(bound->first, ChosenChoice(bound->second));
    });
}

}  // namespace kvx::gtk_module
