// The GTK 3 module's part of one GtkPrintUnixDialog: the custom tab, the pane of
// each Korvane queue the person selected, and the dialog's generic option
// widgets for the pane's keys, which the pane writes into and hides.
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/dialog_flow.hpp"
#include "generic_options.hpp"
#include "queue_pane.hpp"

namespace kvx::gtk_module {

class PrintDialogTab {
public:
    // Adds the (hidden) tab to the dialog and follows its printer selection;
    // the tab lives until the dialog is destroyed. A dialog shown again
    // after a hide starts over.
    static void AttachTo(GtkPrintUnixDialog *dialog, const std::string &plugInsFolder);
    // The tab of a dialog it was attached to, else null.
    static PrintDialogTab *Of(GtkWidget *dialog);

    PrintDialogTab(GtkPrintUnixDialog *dialog, std::string plugInsFolder);
    ~PrintDialogTab();
    PrintDialogTab(const PrintDialogTab &) = delete;
    PrintDialogTab &operator=(const PrintDialogTab &) = delete;

    // The dialog answers: the pane's values go into the generic widgets
    // before anyone reads the dialog's settings.
    void OnResponse(gint response);

private:
    void StartOver();
    void DismissPanes();
    void OnPrinterSelected();
    void ShowPane(const QueueAnswer &answer);
    bool BindGenericOptions(const QueueAnswer &answer);
    void UnbindGenericOptions();
    void AfterModelChange();
    void WriteChoicesToDialog();
    void OnGenericChanged(GtkComboBox *combo);
    void OnDestroy();

    static void OnSelectedPrinterNotify(GObject *, GParamSpec *, PrintDialogTab *tab);
    static void OnGenericComboChanged(GtkComboBox *combo, PrintDialogTab *tab);
    static void OnDialogHidden(GtkWidget *, PrintDialogTab *tab);
    static void OnDialogDestroy(GtkWidget *, PrintDialogTab *tab);
    static void OnPaneAllocated(GtkWidget *pane, GdkRectangle *, PrintDialogTab *tab);
    static gboolean OnRunLoopTick(gpointer tab);

    GtkPrintUnixDialog *dialog_;
    std::string plugInsFolder_;
    GtkWidget *tab_;
    GtkWidget *tabLabel_;
    guint runLoopTimer_ = 0;
    std::map<std::string, std::unique_ptr<QueuePane>> panes_;
    QueuePane *shownPane_ = nullptr;
    std::map<std::string, GenericOption> boundOptions_;  // pane key -> the dialog's widget, referenced
    std::vector<GtkWidget *> hiddenContainers_;
    std::pair<gint, gint> panePosition_{-1, -1};  // where the pane was last drawn
    bool shown_ = true;  // false from a hide until the next show
    bool writing_ = false;
    bool accepted_ = false;
    bool destroyed_ = false;
    print_dialogs::PrintDialogFlow flow_;  // last: its answers may use all of the above
};

}  // namespace kvx::gtk_module
