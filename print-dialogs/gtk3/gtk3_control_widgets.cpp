// The pane view's GTK 3 widgets and signals: a combo box per popup, an
// entry's key, button and focus signals.
#include <memory>

#include "print-dialogs/gtk-common/gtk_pane_view.hpp"

namespace kvx::gtk_print {
namespace {

constexpr gint kNoChoice = -1;

using ControlView = GtkPaneView::ControlView;

// A pointer's press or touch gave the focus, else the keyboard or the program.
session::FocusCause CauseOfFocus() {
    const std::unique_ptr<GdkEvent, decltype(&gdk_event_free)> event(gtk_get_current_event(), gdk_event_free);
    const bool byPointer = event && (event->type == GDK_BUTTON_PRESS || event->type == GDK_TOUCH_BEGIN);
    return byPointer ? session::FocusCause::Click : session::FocusCause::Keyboard;
}

void OnPopupChanged(GtkComboBox *combo, ControlView *view) {
    const gint active = gtk_combo_box_get_active(combo);
    if (active != kNoChoice) view->pane->ChooseItem(*view, static_cast<size_t>(active));
}

gboolean OnEntryKeyPress(GtkWidget *, GdkEventKey *event, ControlView *view) {
    return view->pane->PressKey(*view, KeyPressFromGdk(event->keyval, static_cast<GdkModifierType>(event->state)));
}

// A click that selects the whole text takes the focus without GTK's own
// press, which would put the caret where the pointer landed.
gboolean OnEntryButtonPress(GtkWidget *entry, GdkEventButton *event, ControlView *view) {
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY || gtk_widget_has_focus(entry) ||
        !view->pane->SelectsWholeTextOnClick(*view)) {
        return FALSE;
    }
    gtk_widget_grab_focus(entry);
    return TRUE;
}

void OnEntryFocusGrabbed(GtkWidget *, ControlView *view) {
    view->pane->FocusGained(*view, CauseOfFocus());
}

}  // namespace

GtkWidget *GtkPaneView::MakePopup(const std::vector<std::string> &items) {
    GtkWidget *combo = gtk_combo_box_text_new();
    for (const std::string &item : items) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo), item.c_str());
    return combo;
}

void GtkPaneView::ShowItem(GtkWidget *popup, std::optional<size_t> item) {
    gtk_combo_box_set_active(GTK_COMBO_BOX(popup), item ? static_cast<gint>(*item) : kNoChoice);
}

// The accessible name, and the labelled-by and label-for relations.
void GtkPaneView::NameForScreenReaders(GtkWidget *control, GtkWidget *label, const std::string &name) {
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), control);
    atk_object_set_name(gtk_widget_get_accessible(control), name.c_str());
}

void GtkPaneView::ConnectInput(ControlView &view) {
    if (view.kind == session::ControlKind::Popup) {
        g_signal_connect(view.widget, "changed", G_CALLBACK(OnPopupChanged), &view);
    } else if (view.kind == session::ControlKind::Field) {
        g_signal_connect(view.widget, "key-press-event", G_CALLBACK(OnEntryKeyPress), &view);
        g_signal_connect(view.widget, "button-press-event", G_CALLBACK(OnEntryButtonPress), &view);
        g_signal_connect_after(view.widget, "grab-focus", G_CALLBACK(OnEntryFocusGrabbed), &view);
    }
}

}  // namespace kvx::gtk_print
