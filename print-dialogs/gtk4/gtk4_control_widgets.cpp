// The pane view's GTK 4 widgets and signals: a drop-down per popup, an
// entry's keys, presses and focus through GTK 4's event controllers.
#include "print-dialogs/gtk-common/gtk_pane_view.hpp"

namespace kvx::gtk_print {
namespace {

using ControlView = GtkPaneView::ControlView;

void OnPopupSelected(GtkDropDown *dropDown, GParamSpec *, ControlView *view) {
    const guint selected = gtk_drop_down_get_selected(dropDown);
    if (selected != GTK_INVALID_LIST_POSITION) view->pane->ChooseItem(*view, selected);
}

gboolean OnEntryKeyPressed(GtkEventControllerKey *, guint keyval, guint, GdkModifierType state, ControlView *view) {
    return view->pane->PressKey(*view, KeyPressFromGdk(keyval, state));
}

// A click that selects the whole text takes the focus without the entry's
// own press, which would put the caret where the pointer landed; any other
// click that gives the focus gives it as a click.
void OnEntryPressed(GtkGestureClick *gesture, gint, gdouble, gdouble, ControlView *view) {
    if (gtk_widget_has_focus(view->widget) || gtk_widget_is_focus(view->widget)) return;
    view->clickFocusing = true;
    if (!view->pane->SelectsWholeTextOnClick(*view)) return;
    gtk_gesture_set_state(GTK_GESTURE(gesture), GTK_EVENT_SEQUENCE_CLAIMED);
    gtk_widget_grab_focus(view->widget);
}

void OnEntryFocusEntered(GtkEventControllerFocus *, ControlView *view) {
    const session::FocusCause cause = view->clickFocusing ? session::FocusCause::Click : session::FocusCause::Keyboard;
    view->clickFocusing = false;
    view->pane->FocusGained(*view, cause);
}

}  // namespace

GtkWidget *GtkPaneView::MakePopup(const std::vector<std::string> &items) {
    std::vector<const char *> strings;
    for (const std::string &item : items) strings.push_back(item.c_str());
    strings.push_back(nullptr);
    return gtk_drop_down_new_from_strings(strings.data());
}

void GtkPaneView::ShowItem(GtkWidget *popup, std::optional<size_t> item) {
    gtk_drop_down_set_selected(GTK_DROP_DOWN(popup), item ? static_cast<guint>(*item) : GTK_INVALID_LIST_POSITION);
}

// Named through labelled-by alone, the label's own accessible name without
// its colon: GTK 4.8 joins a name set on the control with the relation's
// ("DIN DIN:"), and later GTK 4 names a drop-down by its selected item
// unless it is labelled-by.
void GtkPaneView::NameForScreenReaders(GtkWidget *control, GtkWidget *label, const std::string &name) {
    gtk_accessible_update_property(GTK_ACCESSIBLE(label), GTK_ACCESSIBLE_PROPERTY_LABEL, name.c_str(), -1);
    gtk_accessible_update_relation(GTK_ACCESSIBLE(control), GTK_ACCESSIBLE_RELATION_LABELLED_BY, label, nullptr, -1);
}

// Before the entry's own text sees them: keys and presses in the capture
// phase.
void GtkPaneView::ConnectInput(ControlView &view) {
    if (view.kind == session::ControlKind::Popup) {
        g_signal_connect(view.widget, "notify::selected", G_CALLBACK(OnPopupSelected), &view);
        return;
    }
    if (view.kind != session::ControlKind::Field) return;
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
}

}  // namespace kvx::gtk_print
