#include "gtk4/pane-view/pane_view.hpp"

#include <string>

#include "gtk-common/pane_fields.hpp"

namespace kvx::gtk_module {

using dialog::FocusCause;
using dialog::KeyOutcome;
using print_dialogs::ControlKind;
using print_dialogs::ControlLayout;
using print_dialogs::ControlValue;

struct PaneView::ControlView {
    PaneView *pane;
    size_t index;  // into the presenter's controls
    ControlKind kind;
    GtkWidget *widget;
    std::vector<GObject *> sources;  // the widget and its controllers, whose signals reach this view
    bool clickFocusing = false;     // a press is about to give the entry the focus
};

namespace {

GtkWidget *MakeWidget(const ControlLayout &layout) {
    switch (layout.kind) {
        case ControlKind::Popup: {
            std::vector<const char *> items;
            for (const std::string &item : layout.items) items.push_back(item.c_str());
            items.push_back(nullptr);
            return gtk_drop_down_new_from_strings(items.data());
        }
        case ControlKind::Field:
            return gtk_entry_new();
        case ControlKind::Label: {
            GtkWidget *label = gtk_label_new(layout.title.c_str());
            gtk_label_set_xalign(GTK_LABEL(label), 0.0F);
            return label;
        }
    }
    return nullptr;
}

print_dialogs::KeyPress KeyPressFromGdk(guint keyval, GdkModifierType state) {
    return {keyval, gdk_keyval_to_unicode(keyval), (state & GDK_SHIFT_MASK) != 0,
            (state & (GDK_CONTROL_MASK | GDK_ALT_MASK)) != 0};
}

}  // namespace

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
        views_.push_back(std::make_unique<ControlView>(ControlView{this, index, layout.kind, widget, {}}));
        Connect(*views_.back());
    }
    // Each popup and field is named by its label, for screen readers. Not
    // also labelled-by the label: GTK 4 joins both into the name ("DIN DIN:").
    for (const auto &view : views_) {
        const ControlLayout &layout = layouts[view->index];
        if (!layout.label) continue;
        gtk_accessible_update_property(GTK_ACCESSIBLE(view->widget), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                       layout.accessibleName.c_str(), -1);
    }
    Redraw();
}

PaneView::~PaneView() {
    // The controls may go before the widgets do: no signal may reach them.
    for (const auto &view : views_) {
        for (GObject *source : view->sources) g_signal_handlers_disconnect_by_data(source, view.get());
        if (view->kind == ControlKind::Field) {
            g_signal_handlers_disconnect_by_data(gtk_editable_get_delegate(GTK_EDITABLE(view->widget)), &redrawing_);
        }
    }
    g_object_unref(fixed_);
}

void PaneView::Redraw() {
    redrawing_ = true;
    for (const auto &view : views_) {
        const ControlValue value = presenter_.Value(view->index);
        if (view->kind == ControlKind::Popup) {
            // A value that names no item shows no choice, as `show` reports it.
            gtk_drop_down_set_selected(GTK_DROP_DOWN(view->widget),
                                       value.item ? static_cast<guint>(*value.item) : GTK_INVALID_LIST_POSITION);
        }
        if (view->kind == ControlKind::Field) RedrawField(value, view->widget);
        gtk_widget_set_sensitive(view->widget, value.enabled);
    }
    redrawing_ = false;
}

void PaneView::Connect(ControlView &view) {
    view.sources.push_back(G_OBJECT(view.widget));
    if (view.kind == ControlKind::Popup) {
        g_signal_connect(view.widget, "notify::selected", G_CALLBACK(OnPopupSelected), &view);
    } else if (view.kind == ControlKind::Field) {
        // Before the entry's own text sees them: keys and presses in the
        // capture phase, edits on the text the entry delegates to.
        GtkEventController *keys = gtk_event_controller_key_new();
        gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
        g_signal_connect(keys, "key-pressed", G_CALLBACK(OnEntryKeyPressed), &view);
        GtkGesture *click = gtk_gesture_click_new();
        gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(click), GDK_BUTTON_PRIMARY);
        gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(click), GTK_PHASE_CAPTURE);
        g_signal_connect(click, "pressed", G_CALLBACK(OnEntryPressed), &view);
        GtkEventController *focus = gtk_event_controller_focus_new();
        g_signal_connect(focus, "enter", G_CALLBACK(OnEntryFocusEntered), &view);
        for (GtkEventController *controller : {keys, GTK_EVENT_CONTROLLER(click), focus}) {
            gtk_widget_add_controller(view.widget, controller);
            view.sources.push_back(G_OBJECT(controller));
        }
        GtkEditable *text = gtk_editable_get_delegate(GTK_EDITABLE(view.widget));
        KeepEditsFromEntry(text, &redrawing_);
        g_signal_connect(view.widget, "notify::cursor-position", G_CALLBACK(OnEntrySelectionMoved), &view);
        g_signal_connect(view.widget, "notify::selection-bound", G_CALLBACK(OnEntrySelectionMoved), &view);
    }
}

void PaneView::OnPopupSelected(GtkDropDown *dropDown, GParamSpec *, ControlView *view) {
    if (view->pane->redrawing_) return;
    const guint selected = gtk_drop_down_get_selected(dropDown);
    if (selected == GTK_INVALID_LIST_POSITION) return;
    view->pane->presenter_.ChooseItem(view->index, selected);
    view->pane->afterAction_();
}

// A key the pane's handlers pass on gets the dialog's own handling (Tab and
// Shift+Tab move the focus); a key they refuse rings the bell.
gboolean PaneView::OnEntryKeyPressed(GtkEventControllerKey *, guint keyval, guint, GdkModifierType state,
                                     ControlView *view) {
    const print_dialogs::TranslatedKey key = print_dialogs::TranslateKey(KeyPressFromGdk(keyval, state));
    if (key.route == print_dialogs::KeyRoute::Entry) return FALSE;
    const KeyOutcome outcome = view->pane->presenter_.PressKey(view->index, key);
    view->pane->afterAction_();
    if (outcome == KeyOutcome::Refused) gtk_widget_error_bell(view->widget);
    return outcome == KeyOutcome::PassedOn ? FALSE : TRUE;
}

// A click that selects the whole text takes the focus without the entry's
// own press, which would put the caret where the pointer landed; any other
// click that gives the focus gives it as a click.
void PaneView::OnEntryPressed(GtkGestureClick *gesture, gint, gdouble, gdouble, ControlView *view) {
    if (gtk_widget_has_focus(view->widget) || gtk_widget_is_focus(view->widget)) return;
    view->clickFocusing = true;
    if (!view->pane->presenter_.SelectsWholeTextOnFocus(view->index, FocusCause::Click)) return;
    gtk_gesture_set_state(GTK_GESTURE(gesture), GTK_EVENT_SEQUENCE_CLAIMED);
    gtk_widget_grab_focus(view->widget);
}

void PaneView::OnEntryFocusEntered(GtkEventControllerFocus *, ControlView *view) {
    const FocusCause cause = view->clickFocusing ? FocusCause::Click : FocusCause::Keyboard;
    view->clickFocusing = false;
    if (view->pane->presenter_.FocusGained(view->index, cause)) view->pane->afterAction_();
}

// A click or a Shift+arrow moved the caret or the selection in the entry.
void PaneView::OnEntrySelectionMoved(GtkEditable *entry, GParamSpec *, ControlView *view) {
    if (view->pane->redrawing_) return;
    const auto [start, end] = EntrySelection(GTK_WIDGET(entry));
    if (view->pane->presenter_.SelectionMoved(view->index, EntryText(GTK_WIDGET(entry)), start, end)) {
        view->pane->afterAction_();
    }
}

}  // namespace kvx::gtk_module
