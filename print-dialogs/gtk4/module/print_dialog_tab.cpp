#include "print_dialog_tab.hpp"

#include <algorithm>
#include <cmath>

#include "core/din_policy.hpp"
#include "core/report.hpp"
#include "gtk-common/queue_pane.hpp"

namespace kvx::gtk_module {

using print_dialogs::Guarded;

namespace {

constexpr gint kTabMargin = 12;


void Reference(const DialogOption &option) {
    for (gpointer part : {gpointer(option.label), gpointer(option.optionWidget), gpointer(option.source)}) {
        g_object_ref(part);
    }
}

void Release(const DialogOption &option) {
    for (gpointer part : {gpointer(option.label), gpointer(option.optionWidget), gpointer(option.source)}) {
        g_object_unref(part);
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
        if (!Choose(option.source, digit)) {
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
    Reference(option);
    boundOptions_[key] = option;
    g_signal_connect(option.source, "changed", G_CALLBACK(OnOptionSourceChanged), this);
    SetOptionVisible(option, false);
}

// GTK builds new option widgets for each printer; those of the last one
// are shown again only while they are still in the dialog.
void PrintDialogTab::UnbindOptions(bool restoreHidden) {
    for (const auto &[key, option] : boundOptions_) {
        g_signal_handlers_disconnect_by_data(option.source, this);
        if (restoreHidden && gtk_widget_get_parent(option.optionWidget) != nullptr) SetOptionVisible(option, true);
        Release(option);
    }
    boundOptions_.clear();
}

std::optional<std::string> PrintDialogTab::OptionChoice(const std::string &key) {
    return ChosenChoice(boundOptions_.at(key).source);
}

bool PrintDialogTab::ChooseOption(const std::string &key, const std::string &choice) {
    return Choose(boundOptions_.at(key).source, choice);
}

std::unique_ptr<print_dialogs::TabPane> PrintDialogTab::MakePane(const print_dialogs::QueueAnswer &answer,
                                                                 const std::string &plugInsFolder,
                                                                 const print_dialogs::Choices &starting) {
    auto pane = std::make_unique<QueuePane>(answer, plugInsFolder, starting, [this] { AfterPaneAction(); });
    gtk_widget_add_tick_callback(pane->Widget(), OnPaneFrame, this, nullptr);
    return pane;
}

void PrintDialogTab::ShowInTab(print_dialogs::TabPane &pane) {
    GtkWidget *widget = static_cast<QueuePane &>(pane).Widget();
    while (GtkWidget *child = gtk_widget_get_first_child(tab_)) gtk_box_remove(GTK_BOX(tab_), child);
    gtk_box_append(GTK_BOX(tab_), widget);
    gtk_label_set_text(GTK_LABEL(tabLabel_), pane.Title().c_str());
    gtk_widget_set_visible(tab_, TRUE);
    KeepRunLoopTurning();
}

void PrintDialogTab::HideTab() {
    gtk_widget_set_visible(tab_, FALSE);
}

void PrintDialogTab::OnOptionSourceChanged(GObject *source, PrintDialogTab *tab) {
    Guarded([&] {
        const auto bound =
            std::ranges::find_if(tab->boundOptions_, [&](const auto &entry) { return entry.second.source == source; });
        if (bound != tab->boundOptions_.end()) tab->OnOptionChanged(bound->first, ChosenChoice(source));
    });
}

// Where the pane sits, for a person (or a test) looking at the dialog.
gboolean PrintDialogTab::OnPaneFrame(GtkWidget *pane, GdkFrameClock *, gpointer data) {
    auto *tab = static_cast<PrintDialogTab *>(data);
    graphene_point_t at{};
    const graphene_point_t origin{};
    if (tab->Destroyed() || !gtk_widget_get_mapped(pane) ||
        !gtk_widget_compute_point(pane, GTK_WIDGET(tab->dialog_), &origin, &at)) {
        return G_SOURCE_CONTINUE;
    }
    const std::pair position(static_cast<gint>(std::lround(at.x)), static_cast<gint>(std::lround(at.y)));
    if (position != std::exchange(tab->panePosition_, position)) {
        g_debug("pane of %s at %d,%d in the dialog", tab->SelectedQueue().c_str(), position.first, position.second);
    }
    return G_SOURCE_CONTINUE;
}

}  // namespace kvx::gtk_module
