#include "queue_pane.hpp"

#include <algorithm>
#include <stdexcept>

namespace kvx::gtk_module {
namespace {

constexpr gint kSummarySpacing = 4;
constexpr gint kSummaryColumnSpacing = 12;
constexpr gint kSummaryMargin = 8;
constexpr float kStartAlignment = 0.0F;

dialog::Options SessionOptions(const QueueAnswer &answer, const std::string &plugInsFolder) {
    dialog::Options options;
    options.ppdPath = answer.ppd->path();
    options.plugInsFolder = plugInsFolder;
    return options;
}

std::string StringAt(CFArrayRef array, CFIndex index) {
    const auto value = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(array, index));
    return value != nullptr && CFGetTypeID(value) == CFStringGetTypeID() ? ToUTF8(static_cast<CFStringRef>(value))
                                                                         : std::string();
}

void SetChoice(CFMutableDictionaryRef ppdDict, const std::string &key, const std::string &choice) {
    const CFHolder<CFStringRef> keyString = MakeString(key);
    const CFHolder<CFStringRef> choiceString = MakeString(choice);
    if (keyString && choiceString) CFDictionarySetValue(ppdDict, keyString.get(), choiceString.get());
}

// A session whose ticket holds the starting choices before the pane first
// reads it.
std::unique_ptr<dialog::PrintSession> MakeSession(const QueueAnswer &answer, const std::string &plugInsFolder,
                                                  const Choices &starting) {
    auto session = std::make_unique<dialog::PrintSession>(SessionOptions(answer, plugInsFolder));
    for (const auto &[key, choice] : starting) SetChoice(session->PPDDict(), key, choice);
    return session;
}

GtkWidget *MakeCell(const std::string &text) {
    GtkWidget *label = gtk_label_new(text.c_str());
    gtk_label_set_xalign(GTK_LABEL(label), kStartAlignment);
    return label;
}

}  // namespace

QueuePane::QueuePane(const QueueAnswer &answer, const std::string &plugInsFolder, const Choices &starting,
                     std::function<void()> afterAction)
    : answer_(answer),
      session_(MakeSession(answer, plugInsFolder, starting)),
      host_(plugInsFolder, *session_),
      box_(gtk_box_new(GTK_ORIENTATION_VERTICAL, kSummarySpacing)),
      summary_(gtk_grid_new()) {
    g_object_ref_sink(box_);
    gtk_box_pack_end(GTK_BOX(box_), summary_, FALSE, FALSE, 0);
    if (!host_.IsShown()) {
        gtk_widget_destroy(box_);
        g_object_unref(box_);
        throw std::runtime_error(host_.NotShownReason());
    }
    host_.SyncFromTicket();
    view_ = std::make_unique<dialog::PaneView>(host_.DialogWindow(), std::move(afterAction));
    gtk_grid_set_row_spacing(GTK_GRID(summary_), kSummarySpacing);
    gtk_grid_set_column_spacing(GTK_GRID(summary_), kSummaryColumnSpacing);
    gtk_widget_set_margin_start(summary_, kSummaryMargin);
    gtk_box_pack_start(GTK_BOX(box_), view_->Widget(), FALSE, FALSE, 0);
    Redraw();
    gtk_widget_show_all(box_);
}

QueuePane::~QueuePane() {
    Dismiss(false);
    gtk_widget_destroy(box_);
    g_object_unref(box_);
}

Choices QueuePane::SyncToTicket() {
    Choices choices;
    if (!host_.IsShown() || host_.SyncToTicket() != noErr) return choices;
    for (const OptionText &option : answer_.options.texts) {
        const CFHolder<CFStringRef> key = MakeString(option.key);
        const auto value = static_cast<CFTypeRef>(CFDictionaryGetValue(session_->PPDDict(), key.get()));
        if (value != nullptr && CFGetTypeID(value) == CFStringGetTypeID()) {
            choices[option.key] = ToUTF8(static_cast<CFStringRef>(value));
        }
    }
    return choices;
}

void QueuePane::TakeChoice(const std::string &key, const std::string &choice) {
    if (!host_.IsShown()) return;
    SetChoice(session_->PPDDict(), key, choice);
    host_.SyncFromTicket();
    Redraw();
}

void QueuePane::Redraw() {
    if (!view_) return;
    view_->Redraw();
    RedrawSummary();
}

void QueuePane::Dismiss(bool accepted) {
    view_.reset();
    host_.Dismiss(accepted ? dialog::DialogOutcome::Accepted : dialog::DialogOutcome::Canceled);
}

void QueuePane::RedrawSummary() {
    GList *cells = gtk_container_get_children(GTK_CONTAINER(summary_));
    for (GList *cell = cells; cell != nullptr; cell = cell->next) gtk_widget_destroy(GTK_WIDGET(cell->data));
    g_list_free(cells);
    CFHolder<CFArrayRef> titles;
    CFHolder<CFArrayRef> values;
    if (host_.CopySummary(titles, values) != noErr || !titles || !values) return;
    const CFIndex rows = std::min(CFArrayGetCount(titles.get()), CFArrayGetCount(values.get()));
    for (CFIndex row = 0; row < rows; ++row) {
        gtk_grid_attach(GTK_GRID(summary_), MakeCell(StringAt(titles.get(), row)), 0, static_cast<gint>(row), 1, 1);
        gtk_grid_attach(GTK_GRID(summary_), MakeCell(StringAt(values.get(), row)), 1, static_cast<gint>(row), 1, 1);
    }
    gtk_widget_show_all(summary_);
}

}  // namespace kvx::gtk_module
