// kvx-print's part of one GtkPrintUnixDialog, built once per GTK version:
// the custom tab that shows the pane of the selected Korvane queue, the
// dialog's signals (a printer selected, hidden, destroyed) and the timer
// that turns the host's run loop while a pane is shown. What happens when
// is the print session's tab lifecycle; the dialog's own option widgets
// are its store (gtk_dialog_options.hpp); where the pane sits is followed
// with each version's signals (gtk3/gtk3_pane_position.cpp,
// gtk4/gtk4_pane_position.cpp).
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <memory>
#include <string>
#include <utility>

#include "print-dialogs/glib/run_loop_ticker.hpp"
#include "print-dialogs/gtk-common/gtk_dialog_options.hpp"
#include "session/tab/tab_lifecycle.hpp"

namespace kvx::gtk_print {

class GtkPrintDialogTab final : public session::TabToolkit {
public:
    // Adds the (hidden) tab to the dialog and follows its printer selection.
    GtkPrintDialogTab(GtkPrintUnixDialog *dialog, session::QueueChecker &checker);
    ~GtkPrintDialogTab() override;
    GtkPrintDialogTab(const GtkPrintDialogTab &) = delete;
    GtkPrintDialogTab &operator=(const GtkPrintDialogTab &) = delete;

    // The tab kept on a dialog, else null.
    static GtkPrintDialogTab *Of(GtkWidget *dialog);
    // Keeps the tab on its dialog until the dialog goes.
    static void Keep(std::unique_ptr<GtkPrintDialogTab> tab);

    session::TabLifecycle &Lifecycle() { return lifecycle_; }
    bool Destroyed() const { return destroyed_; }
    // Where the pane sits in the dialog, as the version's signals find it:
    // logged when it moved, for a person (or a test) looking at the dialog.
    void PaneAt(std::pair<gint, gint> position);

private:
    SelectedPrinter Selected() override;
    session::DialogOptions &Options() override { return options_; }
    std::unique_ptr<session::TabContent> MakeContent(session::PaneSession &session,
                                                     std::function<void()> afterAction) override;
    void ShowInTab(session::TabContent &content, const std::string &title) override;
    void HideTab() override;
    void StartRunLoopTimer() override { ticker_.Start(); }
    void StopRunLoopTimer() override { ticker_.Stop(); }

    // Connects the version's signal that tells where the pane sits.
    void FollowPanePosition(GtkWidget *pane);

    static void OnSelectedPrinterNotify(GObject *, GParamSpec *, GtkPrintDialogTab *tab);
    static void OnDialogHidden(GtkWidget *, GtkPrintDialogTab *tab);
    static void OnDialogDestroy(GtkWidget *, GtkPrintDialogTab *tab);

    GtkPrintUnixDialog *const dialog_;
    GtkWidget *tab_;
    GtkWidget *tabLabel_;
    RunLoopTicker ticker_;
    std::pair<gint, gint> panePosition_{-1, -1};  // where the pane was last drawn
    bool destroyed_ = false;
    GtkDialogOptions options_;
    session::TabLifecycle lifecycle_;  // last: it uses all of the above
};

}  // namespace kvx::gtk_print
