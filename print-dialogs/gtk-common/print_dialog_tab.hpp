// kvx-print's part of one GtkPrintUnixDialog, built once per GTK version:
// the custom tab that shows the pane of the selected Korvane queue, and the
// dialog's own option widgets for the pane's keys, which the pane writes
// into and hides. What happens when is the shared DialogTab's; where the
// pane sits is followed with each version's signals
// (gtk3/module/pane_position.cpp, gtk4/module/pane_position.cpp).
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialog_options.hpp"
#include "gtk_dialog_tab.hpp"

namespace kvx::gtk_module {

class PrintDialogTab final : public GtkDialogTab {
public:
    // Adds the (hidden) tab to the dialog and follows its printer selection.
    PrintDialogTab(GtkPrintUnixDialog *dialog, std::string plugInsFolder);
    ~PrintDialogTab() override;

    // Where the pane sits in the dialog, as the version's signals find it:
    // logged when it moved, for a person (or a test) looking at the dialog.
    void PaneAt(std::pair<gint, gint> position);

private:
    bool ResetDialogDIN() override;
    std::vector<std::string> OptionLabels() override;
    void BindOption(const std::string &key, size_t labelIndex) override;
    void UnbindOptions(bool restoreHidden) override;
    std::optional<std::string> OptionChoice(const std::string &key) override;
    bool ChooseOption(const std::string &key, const std::string &choice) override;
    std::unique_ptr<print_dialogs::TabPane> MakePane(const print_dialogs::QueueAnswer &answer,
                                                     const std::string &plugInsFolder,
                                                     const print_dialogs::Choices &starting) override;
    void ShowInTab(print_dialogs::TabPane &pane) override;
    void HideTab() override;

    // Connects the version's signal that tells where the pane sits.
    void FollowPanePosition(GtkWidget *pane);

    static void OnChoiceChanged(GObject *choiceHolder, PrintDialogTab *tab);

    GtkWidget *tab_;
    GtkWidget *tabLabel_;
    std::vector<DialogOption> foundOptions_;            // as OptionLabels last found them
    std::map<std::string, DialogOption> boundOptions_;  // pane key -> the dialog's option, its parts referenced
    HiddenOptions hidden_;
    std::pair<gint, gint> panePosition_{-1, -1};  // where the pane was last drawn
};

}  // namespace kvx::gtk_module
