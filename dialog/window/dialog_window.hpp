// The print dialog's window: a printer chooser, the chosen printer's pane
// (or why there is none), the pane's summary, and Cancel / Save Settings... /
// Print. Choosing another printer ends the pane and runs its lifecycle again
// for the new printer. The window opens at once on the command line's
// printer, else on the sample until the scheduler names a default queue the
// pane serves; the scheduler's queues join the chooser when it answers, and
// a queue's PPD is fetched without making the window wait. The buttons do
// what the script's ok and cancel do.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/options.hpp"
#include "dialog/script/pane_driver.hpp"
#include "dialog/window/background_task.hpp"
#include "dialog/window/printer_chooser.hpp"
#include "dialog/window/summary_view.hpp"
#include "dialog/window/window_trace.hpp"
#include "print-dialogs/glib/run_loop_ticker.hpp"
#include "print-dialogs/gtk-common/gtk_pane_view.hpp"

namespace kvx::dialog {

class DialogWindow {
public:
    // Shows the window with the options' printer chosen. GTK is initialized.
    explicit DialogWindow(const Options &options);
    ~DialogWindow();
    DialogWindow(const DialogWindow &) = delete;
    DialogWindow &operator=(const DialogWindow &) = delete;

    // Until the chosen printer's pane (or why there is none) is shown.
    void AwaitPrinter();
    // One line of a script, performed as the headless dialog performs it,
    // then the window redrawn. Throws DialogError as PaneDriver::RunLine.
    void RunScriptLine(int lineNumber, std::string_view line);

    // Until the window is closed. Rethrows a failure of its OK path.
    void Run();
    // Lets GTK finish laying out and drawing what is pending.
    void Settle();
    // Renders the whole window into a PNG of its size; throws DialogError.
    void WriteScreenshot(const std::string &path);

private:
    using PrinterList = std::vector<PrinterDestination>;

    GtkWidget *MakeButtonRow();
    void Choose(size_t choiceIndex);
    void ShowPrinter(std::optional<FetchedQueue> fetched, std::string failure);
    void ReceiveQueues(const PrinterList &printers, const std::string &failure);
    void DropPaneView();
    void ShowPaneOrReason(const std::string &failure);
    void AfterAction();
    void AfterModelChange();
    bool PaneShown() const { return !closed_ && printer_ && printer_->Pane().IsShown(); }
    void Accept();
    void Cancel();
    void SaveSettings();
    void Close();
    // Runs a window action; a failure ends the window with its status.
    template <typename Action>
    void EndOnFailure(Action action);

    static void OnFirstPaint(GdkFrameClock *clock, DialogWindow *dialog);
    static void OnWindowLaidOut(GtkWidget *window, GdkRectangle *allocation, DialogWindow *dialog);
    static gboolean OnDeleteEvent(GtkWidget *window, GdkEvent *event, DialogWindow *dialog);

    const Options &options_;
    bool fetching_ = false;     // the chosen queue's PPD is on its way
    bool personActed_ = false;  // a pane setting was chosen, or a script line run
    bool closed_ = false;
    bool painted_ = false;  // the first frame is on the screen
    gulong firstPaintHandler_ = 0;
    std::optional<std::pair<PrinterList, std::string>> pendingQueues_;
    std::optional<DialogError> failure_;
    WindowTrace trace_;

    GtkWidget *window_ = nullptr;
    std::unique_ptr<PrinterChooser> chooser_;
    GtkWidget *paneFrame_ = nullptr;
    SummaryView summary_;
    GtkWidget *saveButton_ = nullptr;
    GtkWidget *printButton_ = nullptr;
    gtk_print::RunLoopTicker ticker_;

    // Go first: nothing reaches the window once it is going.
    std::unique_ptr<BackgroundTask<PrinterList>> printerList_;
    std::unique_ptr<BackgroundTask<FetchedQueue>> queueFetch_;
    // Declared so that the view goes before the controls it shows.
    std::unique_ptr<PaneDriver> printer_;
    std::unique_ptr<gtk_print::GtkPaneView> paneView_;
};

}  // namespace kvx::dialog
