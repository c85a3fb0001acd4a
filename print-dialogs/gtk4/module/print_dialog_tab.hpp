// The GTK 4 module's part of one GtkPrintUnixDialog: the custom tab that
// shows the pane of the selected Korvane queue, and the dialog's option
// widgets for the pane's keys, which the pane writes into (through their
// GtkPrinterOption) and hides. What happens when is the shared DialogTab's;
// this is its GTK 4 widgets and signals.
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gtk-common/gtk_dialog_tab.hpp"
#include "dialog_options.hpp"

namespace kvx::gtk_module {

class PrintDialogTab final : public GtkDialogTab {
public:
    // Adds the (hidden) tab to the dialog and follows its printer selection.
    PrintDialogTab(GtkPrintUnixDialog *dialog, std::string plugInsFolder);
    ~PrintDialogTab() override;

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

    static void OnOptionSourceChanged(GObject *source, PrintDialogTab *tab);
    static gboolean OnPaneFrame(GtkWidget *pane, GdkFrameClock *, gpointer tab);

    GtkWidget *tab_;
    GtkWidget *tabLabel_;
    std::vector<DialogOption> foundOptions_;            // as OptionLabels last found them
    std::map<std::string, DialogOption> boundOptions_;  // pane key -> the dialog's option, its parts referenced
    std::pair<gint, gint> panePosition_{-1, -1};       // where the pane was last drawn
};

}  // namespace kvx::gtk_module
