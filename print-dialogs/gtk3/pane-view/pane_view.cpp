#include "gtk3/pane-view/pane_view.hpp"

#include <string>

#include "gtk-common/pane_fields.hpp"

namespace kvx::dialog {

using print_dialogs::ControlKind;
using print_dialogs::ControlLayout;
using print_dialogs::ControlValue;
using gtk_module::EntrySelection;
using gtk_module::EntryText;

struct PaneView::ControlView {
    PaneView *pane;
    size_t index;  // into the presenter's controls
    ControlKind kind;
    GtkWidget *widget;
};

namespace {

constexpr float kLabelStartAlignment = 0.0F;
constexpr gint kNoChoice = -1;

GtkWidget *MakeWidget(const ControlLayout &layout) {
    switch (layout.kind) {
        case ControlKind::Popup: {
            GtkWidget *combo = gtk_combo_box_text_new();
            for (const std::string &item : layout.items) {
                gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo), item.c_str());
            }
            return combo;
        }
        case ControlKind::Field:
            return gtk_entry_new();
        case ControlKind::Label: {
            GtkWidget *label = gtk_label_new(layout.title.c_str());
            gtk_label_set_xalign(GTK_LABEL(label), kLabelStartAlignment);
            return label;
        }
    }
    return nullptr;
}

// A pointer's press or touch gave the focus, else the keyboard or the program.
FocusCause CauseOfFocus() {
    const std::unique_ptr<GdkEvent, decltype(&gdk_event_free)> event(gtk_get_current_event(), gdk_event_free);
    const bool byPointer = event && (event->type == GDK_BUTTON_PRESS || event->type == GDK_TOUCH_BEGIN);
    return byPointer ? FocusCause::Click : FocusCause::Keyboard;
}

}  // namespace

print_dialogs::KeyPress KeyPressFromGdk(guint keyval, GdkModifierType state) {
    return {keyval, gdk_keyval_to_unicode(keyval), (state & GDK_SHIFT_MASK) != 0,
            (state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) != 0};
}

PaneView::PaneView(WindowRef window, std::function<void()> afterAction)
    : presenter_(window), fixed_(gtk_fixed_new()), afterAction_(std::move(afterAction)) {
    g_object_ref_sink(fixed_);
    gtk_widget_set_size_request(fixed_, presenter_.Width(), presenter_.Height());
    const std::vector<ControlLayout> &layouts = presenter_.Layouts();
    for (size_t index = 0; index < layouts.size(); ++index) {
        const ControlLayout &layout = layouts[index];
        GtkWidget *widget = MakeWidget(layout);
        gtk_widget_set_size_request(widget, layout.width, layout.height);
        gtk_fixed_put(GTK_FIXED(fixed_), widget, layout.left, layout.top);
        views_.push_back(std::make_unique<ControlView>(ControlView{this, index, layout.kind, widget}));
        Connect(*views_.back());
    }
    // Each popup and field is named by its label, for screen readers: its
    // accessible name, and the labelled-by and label-for relations.
    for (const auto &view : views_) {
        const ControlLayout &layout = layouts[view->index];
        if (!layout.label) continue;
        gtk_label_set_mnemonic_widget(GTK_LABEL(views_[*layout.label]->widget), view->widget);
        atk_object_set_name(gtk_widget_get_accessible(view->widget), layout.accessibleName.c_str());
    }
    Redraw();
}

PaneView::~PaneView() {
    // The controls may go before the widgets do: no signal may reach them.
    for (const auto &view : views_) g_signal_handlers_disconnect_by_data(view->widget, view.get());
    gtk_widget_destroy(fixed_);
    g_object_unref(fixed_);
}

void PaneView::Redraw() {
    redrawing_ = true;
    for (const auto &view : views_) {
        const ControlValue value = presenter_.Value(view->index);
        if (view->kind == ControlKind::Popup) {
            // A value that names no item shows no choice, as `show` reports it.
            gtk_combo_box_set_active(GTK_COMBO_BOX(view->widget), value.item ? static_cast<gint>(*value.item) : kNoChoice);
        }
        if (view->kind == ControlKind::Field) gtk_module::RedrawField(value, view->widget);
        gtk_widget_set_sensitive(view->widget, value.enabled);
    }
    redrawing_ = false;
}

void PaneView::Connect(ControlView &view) {
    if (view.kind == ControlKind::Popup) {
        g_signal_connect(view.widget, "changed", G_CALLBACK(OnPopupChanged), &view);
    } else if (view.kind == ControlKind::Field) {
        g_signal_connect(view.widget, "key-press-event", G_CALLBACK(OnEntryKeyPress), &view);
        g_signal_connect(view.widget, "button-press-event", G_CALLBACK(OnEntryButtonPress), &view);
        g_signal_connect_after(view.widget, "grab-focus", G_CALLBACK(OnEntryFocusGrabbed), &view);
        gtk_module::KeepEditsFromEntry(GTK_EDITABLE(view.widget), &redrawing_);
        g_signal_connect(view.widget, "notify::cursor-position", G_CALLBACK(OnEntrySelectionMoved), &view);
        g_signal_connect(view.widget, "notify::selection-bound", G_CALLBACK(OnEntrySelectionMoved), &view);
    }
}

void PaneView::OnPopupChanged(GtkComboBox *combo, ControlView *view) {
    if (view->pane->redrawing_) return;
    const gint active = gtk_combo_box_get_active(combo);
    if (active == kNoChoice) return;
    view->pane->presenter_.ChooseItem(view->index, static_cast<size_t>(active));
    view->pane->afterAction_();
}

// A key the pane's handlers pass on gets the dialog's own handling (Tab and
// Shift+Tab move the focus); a key they refuse rings the bell.
gboolean PaneView::OnEntryKeyPress(GtkWidget *entry, GdkEventKey *event, ControlView *view) {
    const print_dialogs::TranslatedKey key =
        print_dialogs::TranslateKey(KeyPressFromGdk(event->keyval, static_cast<GdkModifierType>(event->state)));
    if (key.route == print_dialogs::KeyRoute::Entry) return FALSE;
    const KeyOutcome outcome = view->pane->presenter_.PressKey(view->index, key);
    view->pane->afterAction_();
    if (outcome == KeyOutcome::Refused) gtk_widget_error_bell(entry);
    return outcome == KeyOutcome::PassedOn ? FALSE : TRUE;
}

// A click that selects the whole text takes the focus without GTK's own
// press, which would put the caret where the pointer landed.
gboolean PaneView::OnEntryButtonPress(GtkWidget *entry, GdkEventButton *event, ControlView *view) {
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY || gtk_widget_has_focus(entry) ||
        !view->pane->presenter_.SelectsWholeTextOnFocus(view->index, FocusCause::Click)) {
        return FALSE;
    }
    gtk_widget_grab_focus(entry);
    return TRUE;
}

void PaneView::OnEntryFocusGrabbed(GtkWidget *, ControlView *view) {
    if (view->pane->presenter_.FocusGained(view->index, CauseOfFocus())) view->pane->afterAction_();
}

// A click or a Shift+arrow moved the caret or the selection in the entry.
void PaneView::OnEntrySelectionMoved(GtkEditable *entry, GParamSpec *, ControlView *view) {
    if (view->pane->redrawing_) return;
    const auto [start, end] = EntrySelection(GTK_WIDGET(entry));
    if (view->pane->presenter_.SelectionMoved(view->index, EntryText(GTK_WIDGET(entry)), start, end)) {
        view->pane->afterAction_();
    }
}

}  // namespace kvx::dialog
