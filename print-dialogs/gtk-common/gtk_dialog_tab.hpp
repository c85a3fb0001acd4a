// The tab's side of the dialog itself, built once per GTK version: the tab
// kept on its GtkPrintUnixDialog, the selected printer as the dialog tells
// it, the dialog's signals (a printer selected, hidden, destroyed) and the
// timer that turns the host's run loop while a pane is shown.
// PrintDialogTab (print_dialog_tab.hpp) derives from it with the tab's
// widgets and the dialog's option widgets.
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <memory>
#include <string>

#include "core/dialog_tab.hpp"

namespace kvx::gtk_module {

class GtkDialogTab : public print_dialogs::DialogTab {
public:
    // The tab kept on a dialog, else null.
    static GtkDialogTab *Of(GtkWidget *dialog);
    // Keeps the tab on its dialog until the dialog goes.
    static void Keep(std::unique_ptr<GtkDialogTab> tab);

    ~GtkDialogTab() override;

protected:
    // Follows the dialog's signals; the derived tab then calls
    // OnPrinterSelected once it is built.
    GtkDialogTab(GtkPrintUnixDialog *dialog, std::string plugInsFolder);

    SelectedPrinter Selected() override;
    void KeepRunLoopTurning();

    GtkPrintUnixDialog *const dialog_;

private:
    void StopRunLoop();

    static void OnSelectedPrinterNotify(GObject *, GParamSpec *, GtkDialogTab *tab);
    static void OnDialogHidden(GtkWidget *, GtkDialogTab *tab);
    static void OnDialogDestroy(GtkWidget *, GtkDialogTab *tab);
    static gboolean TurnRunLoop(gpointer tab);

    guint runLoopTimer_ = 0;
};

}  // namespace kvx::gtk_module
