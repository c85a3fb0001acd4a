#include "dialog/window/dialog_window.hpp"

#include <algorithm>
#include <iostream>

#include "KVXHost.h"
#include "dialog/cli/messages.hpp"
#include "dialog/script/script_line.hpp"
#include "dialog/settings/settings_file.hpp"
#include "dialog/window/file_chooser.hpp"
#include "dialog/window/widget_png.hpp"

namespace kvx::dialog {
namespace {

constexpr std::string_view kWindowTitle = "Print";
constexpr std::string_view kNoPaneTitle = "Job options";
constexpr std::string_view kFetchingPrinter = "Asking the print scheduler about ";
constexpr guint kSettleWakeUpMilliseconds = 20;
constexpr gint64 kSettleTimeoutMicroseconds = 3 * G_USEC_PER_SEC;
constexpr gint kSpacing = 8;
constexpr guint kBorder = 12;
// The window's buttons perform the script's actions of these lines.
constexpr int kButtonLineNumber = 0;
constexpr std::string_view kOkLine = "ok";
constexpr std::string_view kCancelLine = "cancel";
constexpr std::string_view kTicketLine = "ticket";

// Widgets as tall as the pane's bounds: GTK's themes pad them for touch.
constexpr std::string_view kCompactStyle =
    "entry, combobox button { min-height: 0; padding-top: 0; padding-bottom: 0; }";

void UseCompactStyle(GtkWidget *window) {
    GtkCssProvider *style = gtk_css_provider_new();
    gtk_css_provider_load_from_data(style, kCompactStyle.data(), static_cast<gssize>(kCompactStyle.size()), nullptr);
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window), GTK_STYLE_PROVIDER(style),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(style);
}

void OnPainted(bool *painted) {
    *painted = true;
}

// Keeps a blocking main-loop iteration from waiting past the deadline.
gboolean OnSettleWakeUp(gpointer) {
    return G_SOURCE_CONTINUE;
}

template <typename Handler>
void ConnectButton(GtkWidget *button, Handler handler, DialogWindow *dialog) {
    g_signal_connect_swapped(button, "clicked", G_CALLBACK(handler), dialog);
}

}  // namespace

DialogWindow::DialogWindow(const Options &options)
    : options_(options),
      trace_(options.windowTrace),
      window_(gtk_window_new(GTK_WINDOW_TOPLEVEL)),
      ticker_([this] {
          // Timers fire when the run loop turns, as they would in an event loop.
          if (KVXRunLoopRunOnce() > 0) AfterModelChange();
      }) {
    gtk_window_set_title(GTK_WINDOW(window_), std::string(kWindowTitle).c_str());
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_container_set_border_width(GTK_CONTAINER(window_), kBorder);
    UseCompactStyle(window_);
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDeleteEvent), this);
    g_signal_connect_after(window_, "size-allocate", G_CALLBACK(OnWindowLaidOut), this);
    chooser_ = std::make_unique<PrinterChooser>(options, GTK_WINDOW(window_), [this](size_t index) {
        EndOnFailure([&] { Choose(index); });
    });

    GtkWidget *column = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
    gtk_container_add(GTK_CONTAINER(window_), column);
    gtk_box_pack_start(GTK_BOX(column), chooser_->Widget(), FALSE, FALSE, 0);
    paneFrame_ = gtk_frame_new(nullptr);
    gtk_box_pack_start(GTK_BOX(column), paneFrame_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), summary_.Widget(), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(column), MakeButtonRow(), FALSE, FALSE, 0);

    Choose(chooser_->InitialIndex(options));
    gtk_widget_show_all(window_);
    firstPaintHandler_ = g_signal_connect(gtk_widget_get_frame_clock(window_), "after-paint",
                                          G_CALLBACK(OnFirstPaint), this);
    ticker_.Start();
    printerList_ = std::make_unique<BackgroundTask<PrinterList>>(
        [] { return ListPrinters(OnStall::Wait); },
        [this](std::optional<PrinterList> printers, std::string failure) {
            EndOnFailure([&] { ReceiveQueues(printers.value_or(PrinterList()), failure); });
        });
}

DialogWindow::~DialogWindow() {
    printerList_.reset();
    queueFetch_.reset();
    if (firstPaintHandler_ != 0) g_signal_handler_disconnect(gtk_widget_get_frame_clock(window_), firstPaintHandler_);
    ticker_.Stop();
    paneView_.reset();
    printer_.reset();
    gtk_widget_destroy(window_);
}

GtkWidget *DialogWindow::MakeButtonRow() {
    GtkWidget *row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing);
    GtkWidget *cancel = gtk_button_new_with_label("Cancel");
    saveButton_ = gtk_button_new_with_label("Save Settings\u2026");
    printButton_ = gtk_button_new_with_label("Print");
    ConnectButton(cancel, +[](DialogWindow *dialog) { dialog->EndOnFailure([dialog] { dialog->Cancel(); }); }, this);
    ConnectButton(
        saveButton_, +[](DialogWindow *dialog) { dialog->EndOnFailure([dialog] { dialog->SaveSettings(); }); }, this);
    ConnectButton(
        printButton_, +[](DialogWindow *dialog) { dialog->EndOnFailure([dialog] { dialog->Accept(); }); }, this);
    gtk_box_pack_start(GTK_BOX(row), saveButton_, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(row), printButton_, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(row), cancel, FALSE, FALSE, 0);
    gtk_widget_set_can_default(printButton_, TRUE);
    return row;
}

void DialogWindow::AwaitPrinter() {
    while (fetching_ && !closed_) gtk_main_iteration_do(TRUE);
}

void DialogWindow::RunScriptLine(int lineNumber, std::string_view line) {
    personActed_ = true;
    const std::optional<Action> action = ParseScriptLine(line);
    if (printer_) printer_->RunLine(lineNumber, line);
    if (action && (action->kind == ActionKind::Ok || action->kind == ActionKind::Cancel)) Close();
    AfterModelChange();
}

void DialogWindow::Run() {
    if (!closed_) gtk_main();
    if (failure_) throw *failure_;
}

// A window that grew waits for the X server's word on its new size before it
// lays out and paints again; the paint after that is the settled window.
void DialogWindow::Settle() {
    bool painted = false;
    GdkFrameClock *clock = gtk_widget_get_frame_clock(window_);
    const gulong handler = g_signal_connect_swapped(clock, "after-paint", G_CALLBACK(OnPainted), &painted);
    const guint wakeUp = g_timeout_add(kSettleWakeUpMilliseconds, G_SOURCE_FUNC(OnSettleWakeUp), nullptr);
    gtk_widget_queue_draw(window_);
    const gint64 deadline = g_get_monotonic_time() + kSettleTimeoutMicroseconds;
    while ((!painted || gtk_events_pending()) && g_get_monotonic_time() < deadline) gtk_main_iteration_do(TRUE);
    g_source_remove(wakeUp);
    g_signal_handler_disconnect(clock, handler);
}

void DialogWindow::WriteScreenshot(const std::string &path) {
    // Drawn as the window looks with the focus, which a display without a
    // window manager never gives it; the styles follow in the next frame.
    gtk_widget_unset_state_flags(window_, GTK_STATE_FLAG_BACKDROP);
    Settle();
    WriteWidgetPNG(window_, path);
}

// Ends the pane of the printer before, then runs the lifecycle for the new
// one; a queue's PPD is fetched first, on a thread of its own. A run that a
// script drives ends on a scheduler that never answers, as the headless
// dialog does; a person's window says so in the pane's place.
void DialogWindow::Choose(size_t choiceIndex) {
    chooser_->Select(choiceIndex);
    DropPaneView();
    printer_.reset();
    queueFetch_.reset();
    const std::string queue = chooser_->Choices()[choiceIndex].queue;
    if (queue.empty()) {
        ShowPrinter(std::nullopt, {});
    } else {
        fetching_ = true;
        ShowPaneOrReason(std::string(kFetchingPrinter) + Quoted(queue) + "\u2026");
        const OnStall onStall = options_.scriptPath.empty() ? OnStall::Wait : OnStall::EndTheRun;
        queueFetch_ = std::make_unique<BackgroundTask<FetchedQueue>>(
            [queue, onStall] { return FetchQueue(queue, onStall); },
            [this](std::optional<FetchedQueue> fetched, std::string failure) {
                EndOnFailure([&] { ShowPrinter(std::move(fetched), std::move(failure)); });
            });
    }
    trace_.Printers(chooser_->Choices(), chooser_->ChosenIndex());
}

void DialogWindow::ShowPrinter(std::optional<FetchedQueue> fetched, std::string failure) {
    fetching_ = false;
    if (failure.empty()) {
        try {
            printer_ = std::make_unique<PaneDriver>(OptionsForChoice(chooser_->Choices()[chooser_->ChosenIndex()], options_),
                                                    std::cout, std::move(fetched));
        } catch (const DialogError &error) {
            failure = error.what();
        } catch (const session::SessionError &error) {
            failure = error.what();
        }
    }
    if (!failure.empty()) ReportMessage(failure);
    DropPaneView();
    ShowPaneOrReason(failure);
    AfterModelChange();
    trace_.Forget();
}

// Held until the window's first frame is painted: that comes first. Then
// the user's default queue, if the pane serves it, in place of the sample
// the window opened on; never over a printer someone named or chose.
void DialogWindow::ReceiveQueues(const PrinterList &printers, const std::string &failure) {
    if (!painted_) {
        pendingQueues_.emplace(printers, failure);
        return;
    }
    chooser_->ReceiveQueues(printers, failure);
    trace_.Printers(chooser_->Choices(), chooser_->ChosenIndex());
    if (options_.printerNamed || personActed_ || chooser_->Touched()) return;
    const auto queue = std::ranges::find_if(printers, [](const PrinterDestination &printer) {
        return printer.isDefault && printer.paneApplies;
    });
    if (queue == printers.end()) return;
    if (const std::optional<size_t> index = chooser_->IndexOfQueue(queue->name)) Choose(*index);
}

void DialogWindow::OnFirstPaint(GdkFrameClock *clock, DialogWindow *dialog) {
    g_signal_handler_disconnect(clock, dialog->firstPaintHandler_);
    dialog->firstPaintHandler_ = 0;
    dialog->painted_ = true;
    if (!dialog->pendingQueues_) return;
    const auto [printers, failure] = std::move(*dialog->pendingQueues_);
    dialog->pendingQueues_.reset();
    dialog->EndOnFailure([&] { dialog->ReceiveQueues(printers, failure); });
}

// The view goes before the pane's controls do.
void DialogWindow::DropPaneView() {
    if (GtkWidget *shown = gtk_bin_get_child(GTK_BIN(paneFrame_))) gtk_container_remove(GTK_CONTAINER(paneFrame_), shown);
    paneView_.reset();
}

void DialogWindow::ShowPaneOrReason(const std::string &failure) {
    if (PaneShown()) {
        paneView_ = std::make_unique<gtk_print::GtkPaneView>(printer_->Pane().DialogWindow(), [this] { AfterAction(); });
        gtk_frame_set_label(GTK_FRAME(paneFrame_), printer_->Pane().PaneTitle().c_str());
        gtk_container_add(GTK_CONTAINER(paneFrame_), paneView_->Widget());
    } else {
        const std::string reason = printer_ ? printer_->Pane().NotShownReason() : failure;
        GtkWidget *label = gtk_label_new(reason.c_str());
        gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
        gtk_frame_set_label(GTK_FRAME(paneFrame_), std::string(kNoPaneTitle).c_str());
        gtk_container_add(GTK_CONTAINER(paneFrame_), label);
    }
    gtk_widget_show_all(paneFrame_);
    gtk_widget_set_sensitive(saveButton_, printer_ != nullptr);
    gtk_widget_set_sensitive(printButton_, printer_ != nullptr);
}

// A user's action reached the host: the run loop turns, as after an event.
void DialogWindow::AfterAction() {
    personActed_ = true;
    KVXRunLoopRunOnce();
    AfterModelChange();
}

void DialogWindow::AfterModelChange() {
    if (paneView_) paneView_->Redraw();
    summary_.Show(PaneShown() ? printer_->Pane().Summary() : session::SummaryRows());
    if (PaneShown()) trace_.Controls(printer_->Pane().DialogWindow());
}

void DialogWindow::Accept() {
    if (!printer_) return;
    printer_->RunLine(kButtonLineNumber, kOkLine);
    // Without a job to submit, what Print gives is the ticket.
    if (!printer_->AcceptDoesMore()) printer_->RunLine(kButtonLineNumber, kTicketLine);
    Close();
}

void DialogWindow::Cancel() {
    if (printer_) printer_->RunLine(kButtonLineNumber, kCancelLine);
    Close();
}

void DialogWindow::SaveSettings() {
    const std::optional<std::string> chosen =
        AskForFile(GTK_WINDOW(window_), {.title = "Save Settings",
                                         .action = GTK_FILE_CHOOSER_ACTION_SAVE,
                                         .acceptLabel = "_Save",
                                         .suggestedName = "print-settings.plist",
                                         .filterName = {},
                                         .filterGlobs = {}});
    if (!chosen) return;
    try {
        // What is saved is what OK would write: the pane's settings first.
        if (printer_->Pane().IsShown()) printer_->Pane().SyncToTicket();
        SaveSettingsFile(printer_->Session().PPDDict(), *chosen);
    } catch (const DialogError &error) {
        ReportMessage(error.what());
        GtkWidget *message = gtk_message_dialog_new(GTK_WINDOW(window_), GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                                    GTK_BUTTONS_CLOSE, "%s", error.what());
        gtk_dialog_run(GTK_DIALOG(message));
        gtk_widget_destroy(message);
    }
}

void DialogWindow::Close() {
    closed_ = true;
    DropPaneView();
    gtk_widget_hide(window_);
    if (gtk_main_level() > 0) gtk_main_quit();
}

template <typename Action>
void DialogWindow::EndOnFailure(Action action) {
    try {
        action();
    } catch (const DialogError &error) {
        failure_ = error;
        Close();
    } catch (const session::SessionError &error) {
        failure_ = DialogError(ExitStatusOf(error), error.what());
        Close();
    } catch (const std::exception &error) {
        failure_ = DialogError(kExitHostFailure, error.what());
        Close();
    }
}

void DialogWindow::OnWindowLaidOut(GtkWidget *, GdkRectangle *, DialogWindow *dialog) {
    dialog->trace_.Layout(dialog->window_, dialog->paneView_ ? dialog->paneView_->Widget() : nullptr);
}

gboolean DialogWindow::OnDeleteEvent(GtkWidget *, GdkEvent *, DialogWindow *dialog) {
    dialog->EndOnFailure([dialog] { dialog->Cancel(); });
    return TRUE;
}

}  // namespace kvx::dialog
