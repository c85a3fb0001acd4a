#include "dialog/window/dialog_window.hpp"

#include <algorithm>
#include <iostream>

#include "KVXHost.h"
#include "dialog/cli/messages.hpp"
#include "dialog/script/reports.hpp"
#include "dialog/script/script_line.hpp"
#include "dialog/settings/settings_file.hpp"
#include "dialog/window/widget_png.hpp"

namespace kvx::dialog {
namespace {

constexpr std::string_view kWindowTitle = "Print";
constexpr std::string_view kNoPaneTitle = "Job options";
constexpr std::string_view kSummaryTitle = "Summary";
constexpr std::string_view kFetchingPrinter = "Asking the print scheduler about ";
constexpr guint kRunLoopIntervalMilliseconds = 50;
constexpr guint kSettleWakeUpMilliseconds = 20;
constexpr gint64 kSettleTimeoutMicroseconds = 3 * G_USEC_PER_SEC;
constexpr gint kSpacing = 8;
constexpr guint kBorder = 12;
// The chooser is as wide as this many characters whatever its entries say,
// so that the window keeps its layout when the scheduler's queues arrive.
constexpr gint kChooserWidthChars = 36;
// The window's buttons perform the script's actions of these lines.
constexpr int kButtonLineNumber = 0;
constexpr std::string_view kOkLine = "ok";
constexpr std::string_view kCancelLine = "cancel";
constexpr std::string_view kTicketLine = "ticket";

enum SummaryColumn : gint { kTitleColumn, kValueColumn, kSummaryColumnCount };
// The text combo box's own layout: the label, then an ID the window leaves unset.
enum ChooserColumn : gint { kLabelColumn, kIDColumn, kChooserColumnCount };

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

std::string StringAt(CFArrayRef array, CFIndex index) {
    const CFTypeRef value = CFArrayGetValueAtIndex(array, index);
    if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID()) return {};
    return ToUTF8(static_cast<CFStringRef>(value));
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

DialogWindow::DialogWindow(const Options &options) : options_(options), choices_(InitialPrinterChoices(options)) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), std::string(kWindowTitle).c_str());
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_container_set_border_width(GTK_CONTAINER(window_), kBorder);
    UseCompactStyle(window_);
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDeleteEvent), this);
    g_signal_connect_after(window_, "size-allocate", G_CALLBACK(OnWindowLaidOut), this);

    GtkWidget *column = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
    gtk_container_add(GTK_CONTAINER(window_), column);
    gtk_box_pack_start(GTK_BOX(column), MakePrinterRow(), FALSE, FALSE, 0);
    paneFrame_ = gtk_frame_new(nullptr);
    gtk_box_pack_start(GTK_BOX(column), paneFrame_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), MakeSummaryView(), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(column), MakeButtonRow(), FALSE, FALSE, 0);

    Choose(InitialChoice());
    gtk_widget_show_all(window_);
    firstPaintHandler_ = g_signal_connect(gtk_widget_get_frame_clock(window_), "after-paint",
                                          G_CALLBACK(OnFirstPaint), this);
    runLoopTimer_ = g_timeout_add(kRunLoopIntervalMilliseconds, G_SOURCE_FUNC(OnRunLoopTick), this);
    printerList_ = std::make_unique<BackgroundTask<PrinterList>>(
        [] { return ListPrinters(OnStall::Wait); },
        [this](std::optional<PrinterList> printers, std::string failure) {
            Guarded([&] { ReceiveQueues(printers.value_or(PrinterList()), failure); });
        });
}

DialogWindow::~DialogWindow() {
    printerList_.reset();
    queueFetch_.reset();
    if (firstPaintHandler_ != 0) g_signal_handler_disconnect(gtk_widget_get_frame_clock(window_), firstPaintHandler_);
    g_source_remove(runLoopTimer_);
    paneView_.reset();
    printer_.reset();
    gtk_widget_destroy(window_);
    g_object_unref(summaryRows_);
}

// The options' queue, else the options' PPD file.
size_t DialogWindow::InitialChoice() const {
    for (size_t index = 0; index < choices_.size(); ++index) {
        const PrinterChoice &choice = choices_[index];
        if (options_.printerQueue ? choice.queue == *options_.printerQueue : choice.ppdPath == options_.ppdPath) {
            return index;
        }
    }
    return 0;
}

GtkWidget *DialogWindow::MakePrinterRow() {
    GtkWidget *row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing);
    gtk_box_pack_start(GTK_BOX(row), gtk_label_new("Printer:"), FALSE, FALSE, 0);
    printerCombo_ = gtk_combo_box_text_new();
    GList *cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(printerCombo_));
    for (GList *cell = cells; cell != nullptr; cell = cell->next) {
        g_object_set(cell->data, "ellipsize", PANGO_ELLIPSIZE_END, "width-chars", kChooserWidthChars, nullptr);
    }
    g_list_free(cells);
    FillChooser();
    g_signal_connect(printerCombo_, "changed", G_CALLBACK(OnPrinterChanged), this);
    gtk_box_pack_start(GTK_BOX(row), printerCombo_, TRUE, TRUE, 0);
    return row;
}

GtkWidget *DialogWindow::MakeSummaryView() {
    summaryRows_ = gtk_list_store_new(kSummaryColumnCount, G_TYPE_STRING, G_TYPE_STRING);
    GtkWidget *table = gtk_tree_view_new_with_model(GTK_TREE_MODEL(summaryRows_));
    gtk_widget_set_can_focus(table, FALSE);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(table), FALSE);
    for (const gint column : {kTitleColumn, kValueColumn}) {
        gtk_tree_view_append_column(
            GTK_TREE_VIEW(table),
            gtk_tree_view_column_new_with_attributes("", gtk_cell_renderer_text_new(), "text", column, nullptr));
    }
    GtkWidget *frame = gtk_frame_new(std::string(kSummaryTitle).c_str());
    gtk_container_add(GTK_CONTAINER(frame), table);
    return frame;
}

GtkWidget *DialogWindow::MakeButtonRow() {
    GtkWidget *row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing);
    GtkWidget *cancel = gtk_button_new_with_label("Cancel");
    saveButton_ = gtk_button_new_with_label("Save Settings\u2026");
    printButton_ = gtk_button_new_with_label("Print");
    ConnectButton(cancel, +[](DialogWindow *dialog) { dialog->Guarded([dialog] { dialog->Cancel(); }); }, this);
    ConnectButton(saveButton_, +[](DialogWindow *dialog) { dialog->Guarded([dialog] { dialog->SaveSettings(); }); },
                  this);
    ConnectButton(printButton_, +[](DialogWindow *dialog) { dialog->Guarded([dialog] { dialog->Accept(); }); }, this);
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
    chosenIndex_ = choiceIndex;
    SelectInChooser(choiceIndex);
    DropPaneView();
    printer_.reset();
    queueFetch_.reset();
    const std::string queue = choices_[choiceIndex].queue;
    if (queue.empty()) {
        ShowPrinter(std::nullopt, {});
        TracePrinters();
        return;
    }
    fetching_ = true;
    ShowPaneOrReason(std::string(kFetchingPrinter) + Quoted(queue) + "\u2026");
    const OnStall onStall = options_.scriptPath.empty() ? OnStall::Wait : OnStall::EndTheRun;
    queueFetch_ = std::make_unique<BackgroundTask<FetchedQueue>>(
        [queue, onStall] { return FetchQueue(queue, onStall); },
        [this](std::optional<FetchedQueue> fetched, std::string failure) {
            Guarded([&] { ShowPrinter(std::move(fetched), std::move(failure)); });
        });
    TracePrinters();
}

void DialogWindow::ShowPrinter(std::optional<FetchedQueue> fetched, std::string failure) {
    fetching_ = false;
    if (failure.empty()) {
        try {
            printer_ = std::make_unique<PaneDriver>(OptionsForChoice(choices_[chosenIndex_], options_), std::cout,
                                                    std::move(fetched));
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
    reportedLayout_.reset();
}

// The awaited note gives way to the queues (or to why there are none); the
// command line's queue, listed already, only gets its model in its label.
// Held until the window's first frame is painted: that comes first.
void DialogWindow::ReceiveQueues(const std::vector<PrinterDestination> &printers, const std::string &failure) {
    if (!painted_) {
        pendingQueues_.emplace(printers, failure);
        return;
    }
    const auto note = std::ranges::find_if(choices_, &PrinterChoice::IsNote);
    if (note == choices_.end()) return;
    auto at = choices_.erase(note);
    if (chosenIndex_ > static_cast<size_t>(at - choices_.begin())) --chosenIndex_;
    for (PrinterChoice &choice : QueueChoices(printers, failure)) {
        const auto listed = std::ranges::find_if(choices_, [&](const PrinterChoice &known) {
            return !choice.queue.empty() && known.queue == choice.queue;
        });
        if (listed != choices_.end()) {
            *listed = std::move(choice);
            continue;
        }
        if (chosenIndex_ >= static_cast<size_t>(at - choices_.begin())) ++chosenIndex_;
        at = choices_.insert(at, std::move(choice)) + 1;
    }
    FillChooser();
    TracePrinters();
    ChooseDefaultQueue(printers);
}

// The user's default queue, if the pane serves it, in place of the sample
// the window opened on; never over a printer someone named or chose.
void DialogWindow::ChooseDefaultQueue(const std::vector<PrinterDestination> &printers) {
    if (options_.printerNamed || personActed_) return;
    const auto queue = std::ranges::find_if(printers, [](const PrinterDestination &printer) {
        return printer.isDefault && printer.paneApplies;
    });
    if (queue == printers.end()) return;
    const auto choice = std::ranges::find(choices_, queue->name, &PrinterChoice::queue);
    if (choice != choices_.end()) Choose(static_cast<size_t>(choice - choices_.begin()));
}

// One new model for the whole list: hundreds of queues inserted one by one
// would each make the chooser measure every row again.
void DialogWindow::FillChooser() {
    GtkListStore *rows = gtk_list_store_new(kChooserColumnCount, G_TYPE_STRING, G_TYPE_STRING);
    for (const PrinterChoice &choice : choices_) {
        gtk_list_store_insert_with_values(rows, nullptr, -1, kLabelColumn, choice.label.c_str(), -1);
    }
    gtk_list_store_insert_with_values(rows, nullptr, -1, kLabelColumn, std::string(kOtherPPDLabel).c_str(), -1);
    choosing_ = true;
    gtk_combo_box_set_model(GTK_COMBO_BOX(printerCombo_), GTK_TREE_MODEL(rows));
    choosing_ = false;
    g_object_unref(rows);
    SelectInChooser(chosenIndex_);
}

void DialogWindow::OnFirstPaint(GdkFrameClock *clock, DialogWindow *dialog) {
    g_signal_handler_disconnect(clock, dialog->firstPaintHandler_);
    dialog->firstPaintHandler_ = 0;
    dialog->painted_ = true;
    if (!dialog->pendingQueues_) return;
    const auto [printers, failure] = std::move(*dialog->pendingQueues_);
    dialog->pendingQueues_.reset();
    dialog->Guarded([&] { dialog->ReceiveQueues(printers, failure); });
}

void DialogWindow::SelectInChooser(size_t choiceIndex) {
    choosing_ = true;
    gtk_combo_box_set_active(GTK_COMBO_BOX(printerCombo_), static_cast<gint>(choiceIndex));
    choosing_ = false;
}

// The view goes before the pane's controls do.
void DialogWindow::DropPaneView() {
    if (GtkWidget *shown = gtk_bin_get_child(GTK_BIN(paneFrame_))) gtk_container_remove(GTK_CONTAINER(paneFrame_), shown);
    paneView_.reset();
}

void DialogWindow::ShowPaneOrReason(const std::string &failure) {
    const bool paneShown = printer_ && printer_->Pane().IsShown();
    if (paneShown) {
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

void DialogWindow::AskForPPDFile() {
    GtkWidget *chooser = gtk_file_chooser_dialog_new("Choose a PPD file", GTK_WINDOW(window_),
                                                     GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel", GTK_RESPONSE_CANCEL,
                                                     "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileFilter *ppdFiles = gtk_file_filter_new();
    gtk_file_filter_set_name(ppdFiles, "PPD files");
    gtk_file_filter_add_pattern(ppdFiles, "*.ppd");
    gtk_file_filter_add_pattern(ppdFiles, "*.PPD");
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), ppdFiles);
    std::optional<std::string> chosen;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        gchar *path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
        if (path != nullptr) chosen = path;
        g_free(path);
    }
    gtk_widget_destroy(chooser);

    if (!chosen) {
        SelectInChooser(chosenIndex_);
        return;
    }
    const size_t index = choices_.size();
    choices_.push_back(MakePPDFileChoice(*chosen));
    chosenIndex_ = index;
    FillChooser();
    Choose(index);
}

// A user's action reached the host: the run loop turns, as after an event.
void DialogWindow::AfterAction() {
    personActed_ = true;
    KVXRunLoopRunOnce();
    AfterModelChange();
}

void DialogWindow::AfterModelChange() {
    if (paneView_) paneView_->Redraw();
    RedrawSummary();
    TraceControls();
}

void DialogWindow::RedrawSummary() {
    gtk_list_store_clear(summaryRows_);
    if (closed_ || !printer_ || !printer_->Pane().IsShown()) return;
    CFHolder<CFArrayRef> titles;
    CFHolder<CFArrayRef> values;
    if (printer_->Pane().CopySummary(titles, values) != noErr || !titles || !values) return;
    const CFIndex rows = std::min(CFArrayGetCount(titles.get()), CFArrayGetCount(values.get()));
    for (CFIndex row = 0; row < rows; ++row) {
        const std::string title = StringAt(titles.get(), row);
        const std::string value = StringAt(values.get(), row);
        gtk_list_store_insert_with_values(summaryRows_, nullptr, -1, kTitleColumn, title.c_str(), kValueColumn,
                                          value.c_str(), -1);
    }
}

void DialogWindow::TracePrinters() const {
    if (!options_.windowTrace) return;
    Json labels = Json::array();
    for (const PrinterChoice &choice : choices_) labels.push_back(choice.label);
    const Json printers{{"labels", std::move(labels)}, {"chosen", chosenIndex_}};
    std::cout << FormatJson(Json{{"printers", printers}}) << std::endl;
}

void DialogWindow::TraceControls() const {
    if (!options_.windowTrace || closed_ || !printer_ || !printer_->Pane().IsShown()) return;
    std::cout << MakeControlsReport(printer_->Pane().DialogWindow()) << std::endl;
}

// Once for each new size or pane position, after the children are placed.
void DialogWindow::TraceLayout() {
    if (!options_.windowTrace) return;
    gint x = 0;
    gint y = 0;
    const bool paneShown = paneView_ && gtk_widget_translate_coordinates(paneView_->Widget(), window_, 0, 0, &x, &y);
    const Layout layout{gtk_widget_get_allocated_width(window_), gtk_widget_get_allocated_height(window_), paneShown,
                        x, y};
    if (layout == reportedLayout_) return;
    reportedLayout_ = layout;

    const Json pane = paneShown ? Json::array({x, y}) : Json(nullptr);
    const Json window{{"title", gtk_window_get_title(GTK_WINDOW(window_))},
                      {"width", layout.width},
                      {"height", layout.height},
                      {"pane", pane}};
    std::cout << FormatJson(Json{{"window", window}}) << std::endl;
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
    GtkWidget *chooser = gtk_file_chooser_dialog_new("Save Settings", GTK_WINDOW(window_),
                                                     GTK_FILE_CHOOSER_ACTION_SAVE, "_Cancel", GTK_RESPONSE_CANCEL,
                                                     "_Save", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(chooser), TRUE);
    gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), "print-settings.plist");
    std::optional<std::string> chosen;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        gchar *path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
        if (path != nullptr) chosen = path;
        g_free(path);
    }
    gtk_widget_destroy(chooser);
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
void DialogWindow::Guarded(Action action) {
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

void DialogWindow::OnPrinterChanged(GtkComboBox *combo, DialogWindow *dialog) {
    if (dialog->choosing_) return;
    const gint active = gtk_combo_box_get_active(combo);
    if (active < 0 || static_cast<size_t>(active) == dialog->chosenIndex_) return;
    dialog->personActed_ = true;
    dialog->Guarded([dialog, active] {
        if (static_cast<size_t>(active) == dialog->choices_.size()) {
            dialog->AskForPPDFile();
        } else if (dialog->choices_[static_cast<size_t>(active)].IsNote()) {
            dialog->SelectInChooser(dialog->chosenIndex_);
        } else {
            dialog->Choose(static_cast<size_t>(active));
        }
    });
}

// Timers fire when the run loop turns, as they would in an event loop.
gboolean DialogWindow::OnRunLoopTick(DialogWindow *dialog) {
    if (KVXRunLoopRunOnce() > 0) dialog->AfterModelChange();
    return G_SOURCE_CONTINUE;
}

void DialogWindow::OnWindowLaidOut(GtkWidget *, GdkRectangle *, DialogWindow *dialog) {
    dialog->TraceLayout();
}

gboolean DialogWindow::OnDeleteEvent(GtkWidget *, GdkEvent *, DialogWindow *dialog) {
    dialog->Guarded([dialog] { dialog->Cancel(); });
    return TRUE;
}

}  // namespace kvx::dialog
