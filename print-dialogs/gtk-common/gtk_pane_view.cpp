#include "print-dialogs/gtk-common/gtk_pane_view.hpp"

#include "print-dialogs/gtk-common/gtk_pane_fields.hpp"

namespace kvx::gtk_print {

using session::ControlKind;
using session::ControlLayout;
using session::ControlValue;

namespace {

constexpr float kLabelStartAlignment = 0.0F;
#if GTK_MAJOR_VERSION == 3
constexpr GdkModifierType kAltMask = GDK_MOD1_MASK;
#else
constexpr GdkModifierType kAltMask = GDK_ALT_MASK;
#endif

GtkWidget *MakeLabel(const std::string &title) {
    GtkWidget *label = gtk_label_new(title.c_str());
    gtk_label_set_xalign(GTK_LABEL(label), kLabelStartAlignment);
    return label;
}

}  // namespace

session::KeyPress KeyPressFromGdk(guint keyval, GdkModifierType state) {
    return {keyval, gdk_keyval_to_unicode(keyval), (state & GDK_SHIFT_MASK) != 0,
            (state & (GDK_CONTROL_MASK | kAltMask)) != 0};
}

GtkPaneView::GtkPaneView(WindowRef window, std::function<void()> afterAction)
    : presenter_(window), fixed_(gtk_fixed_new()), afterAction_(std::move(afterAction)) {
    g_object_ref_sink(fixed_);
    gtk_widget_set_size_request(fixed_, presenter_.Width(), presenter_.Height());
    const std::vector<ControlLayout> &layouts = presenter_.Layouts();
    for (size_t index = 0; index < layouts.size(); ++index) {
        const ControlLayout &layout = layouts[index];
        GtkWidget *widget = layout.kind == ControlKind::Popup ? MakePopup(layout.items)
                            : layout.kind == ControlKind::Field ? gtk_entry_new()
                                                                : MakeLabel(layout.title);
        gtk_widget_set_size_request(widget, layout.width, layout.height);
        gtk_fixed_put(GTK_FIXED(fixed_), widget, layout.left, layout.top);
        views_.push_back(std::make_unique<ControlView>(ControlView{this, index, layout.kind, widget, {}}));
        Connect(*views_.back());
    }
    // Each popup and field is named by its label, for screen readers.
    for (const auto &view : views_) {
        const ControlLayout &layout = layouts[view->index];
        if (layout.label) NameForScreenReaders(view->widget, views_[*layout.label]->widget, layout.accessibleName);
    }
    Redraw();
}

GtkPaneView::~GtkPaneView() {
    // The controls may go before the widgets do: no signal may reach them.
    for (const auto &view : views_) {
        for (GObject *source : view->sources) g_signal_handlers_disconnect_by_data(source, view.get());
        if (view->kind == ControlKind::Field) {
            g_signal_handlers_disconnect_by_data(EditsOf(view->widget), &redrawing_);
        }
    }
#if GTK_MAJOR_VERSION == 3
    gtk_widget_destroy(fixed_);
#endif
    g_object_unref(fixed_);
}

void GtkPaneView::Redraw() {
    redrawing_ = true;
    for (const auto &view : views_) {
        const ControlValue value = presenter_.Value(view->index);
        // A value that names no item shows no choice, as `show` reports it.
        if (view->kind == ControlKind::Popup) ShowItem(view->widget, value.item);
        if (view->kind == ControlKind::Field) RedrawField(value, view->widget);
        gtk_widget_set_sensitive(view->widget, value.enabled);
    }
    redrawing_ = false;
}

void GtkPaneView::ChooseItem(const ControlView &view, size_t item) {
    if (redrawing_) return;
    presenter_.ChooseItem(view.index, item);
    afterAction_();
}

bool GtkPaneView::PressKey(const ControlView &view, const session::KeyPress &press) {
    const session::TranslatedKey key = session::TranslateKey(press);
    if (key.route == session::KeyRoute::Entry) return false;
    const session::KeyOutcome outcome = presenter_.PressKey(view.index, key);
    afterAction_();
    if (outcome == session::KeyOutcome::Refused) gtk_widget_error_bell(view.widget);
    return outcome != session::KeyOutcome::PassedOn;
}

bool GtkPaneView::SelectsWholeTextOnClick(const ControlView &view) const {
    return presenter_.SelectsWholeTextOnFocus(view.index, session::FocusCause::Click);
}

void GtkPaneView::FocusGained(const ControlView &view, session::FocusCause cause) {
    if (presenter_.FocusGained(view.index, cause)) afterAction_();
}

void GtkPaneView::Connect(ControlView &view) {
    view.sources.push_back(G_OBJECT(view.widget));
    ConnectInput(view);
    if (view.kind != ControlKind::Field) return;
    KeepEditsFromEntry(EditsOf(view.widget), &redrawing_);
    g_signal_connect(view.widget, "notify::cursor-position", G_CALLBACK(OnEntrySelectionMoved), &view);
    g_signal_connect(view.widget, "notify::selection-bound", G_CALLBACK(OnEntrySelectionMoved), &view);
}

// A click or a Shift+arrow moved the caret or the selection in the entry.
void GtkPaneView::OnEntrySelectionMoved(GtkEditable *entry, GParamSpec *, ControlView *view) {
    if (view->pane->redrawing_) return;
    const auto [start, end] = EntrySelection(GTK_WIDGET(entry));
    if (view->pane->presenter_.SelectionMoved(view->index, EntryText(GTK_WIDGET(entry)), start, end)) {
        view->pane->afterAction_();
    }
}

}  // namespace kvx::gtk_print
