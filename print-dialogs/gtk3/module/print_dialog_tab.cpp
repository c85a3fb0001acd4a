#include "print_dialog_tab.hpp"

#include <algorithm>

#include "core/report.hpp"
#include "din_reset.hpp"
#include "gtk-common/queue_pane.hpp"

namespace kvx::gtk_module {

using print_dialogs::Guarded;

namespace {

constexpr guint kTabBorder = 12;


}  // namespace

PrintDialogTab::PrintDialogTab(GtkPrintUnixDialog *dialog, std::string plugInsFolder)
    : GtkDialogTab(dialog, std::move(plugInsFolder)),
      tab_(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0)),
      tabLabel_(gtk_label_new("")) {
    gtk_container_set_border_width(GTK_CONTAINER(tab_), kTabBorder);
    gtk_print_unix_dialog_add_custom_tab(dialog_, tab_, tabLabel_);
    gtk_widget_hide(tab_);
    OnPrinterSelected();
}

PrintDialogTab::~PrintDialogTab() {
    Destroy();
}

bool PrintDialogTab::ResetDialogDIN() {
    return gtk_module::ResetDialogDIN(GTK_WIDGET(dialog_));
}

std::vector<std::string> PrintDialogTab::OptionLabels() {
    foundOptions_ = FindGenericOptions(GTK_WIDGET(dialog_));
    std::vector<std::string> labels;
    std::ranges::transform(foundOptions_, std::back_inserter(labels), LabelText);
    return labels;
}

void PrintDialogTab::BindOption(const std::string &key, size_t labelIndex) {
    const GenericOption &option = foundOptions_.at(labelIndex);
    g_object_ref(option.combo);
    boundOptions_[key] = option;
    g_signal_connect(option.combo, "changed", G_CALLBACK(OnGenericComboChanged), this);
    HideGenericOption(option, hiddenContainers_);
}

void PrintDialogTab::UnbindOptions(bool restoreHidden) {
    for (const auto &[key, option] : boundOptions_) {
        g_signal_handlers_disconnect_by_data(option.combo, this);
        g_object_unref(option.combo);
    }
    boundOptions_.clear();
    if (restoreHidden) {
        RestoreHiddenContainers(hiddenContainers_);
    } else {
        ForgetHiddenContainers(hiddenContainers_);
    }
}

std::optional<std::string> PrintDialogTab::OptionChoice(const std::string &key) {
    return ChosenChoice(boundOptions_.at(key).combo);
}

bool PrintDialogTab::ChooseOption(const std::string &key, const std::string &choice) {
    return Choose(boundOptions_.at(key).combo, choice);
}

std::unique_ptr<print_dialogs::TabPane> PrintDialogTab::MakePane(const print_dialogs::QueueAnswer &answer,
                                                                 const std::string &plugInsFolder,
                                                                 const print_dialogs::Choices &starting) {
    auto pane = std::make_unique<QueuePane>(answer, plugInsFolder, starting, [this] { AfterPaneAction(); });
    g_signal_connect(pane->Widget(), "size-allocate", G_CALLBACK(OnPaneAllocated), this);
    return pane;
}

void PrintDialogTab::ShowInTab(print_dialogs::TabPane &pane) {
    GtkWidget *widget = static_cast<QueuePane &>(pane).Widget();
    GList *shown = gtk_container_get_children(GTK_CONTAINER(tab_));
    for (GList *child = shown; child != nullptr; child = child->next) {
        gtk_container_remove(GTK_CONTAINER(tab_), GTK_WIDGET(child->data));
    }
    g_list_free(shown);
    gtk_box_pack_start(GTK_BOX(tab_), widget, FALSE, FALSE, 0);
    gtk_label_set_text(GTK_LABEL(tabLabel_), pane.Title().c_str());
    gtk_widget_show(tab_);
    KeepRunLoopTurning();
}

void PrintDialogTab::HideTab() {
    gtk_widget_hide(tab_);
}

void PrintDialogTab::OnGenericComboChanged(GtkComboBox *combo, PrintDialogTab *tab) {
    Guarded([&] {
        const auto bound =
            std::ranges::find_if(tab->boundOptions_, [&](const auto &entry) { return entry.second.combo == combo; });
        if (bound != tab->boundOptions_.end()) tab->OnOptionChanged(bound->first, ChosenChoice(combo));
    });
}

// Where the pane sits, for a person (or a test) looking at the dialog.
void PrintDialogTab::OnPaneAllocated(GtkWidget *pane, GdkRectangle *, PrintDialogTab *tab) {
    gint x = 0;
    gint y = 0;
    if (gtk_widget_translate_coordinates(pane, GTK_WIDGET(tab->dialog_), 0, 0, &x, &y) &&
        std::pair(x, y) != std::exchange(tab->panePosition_, std::pair(x, y))) {
        g_debug("pane of %s at %d,%d in the dialog", tab->SelectedQueue().c_str(), x, y);
    }
}

}  // namespace kvx::gtk_module
