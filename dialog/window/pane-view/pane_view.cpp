#include "window/pane-view/pane_view.hpp"

#include <algorithm>
#include <string>

#include "KVXHostSupport.hpp"
#include "pane/control_labels.hpp"
#include "pane/pane_controls.hpp"
#include "script/control_actions.hpp"
#include "script/field_input.hpp"
#include "window/pane-view/key_translation.hpp"
#include "window/pane-view/text_offsets.hpp"

namespace kvx::dialog {

struct PaneView::ControlView {
    PaneView *pane;
    ControlRef control;
    OSType kind;
    GtkWidget *widget;
};

namespace {

constexpr float kLabelStartAlignment = 0.0F;
constexpr gint kNoChoice = -1;

GtkWidget *MakePopup(ControlRef popup) {
    GtkWidget *combo = gtk_combo_box_text_new();
    const SInt32 itemCount = CountPopupItems(popup);
    for (SInt32 position = 1; position <= itemCount; ++position) {
        const std::string item = CopyPopupItemText(popup, position).value_or("");
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo), item.c_str());
    }
    return combo;
}

GtkWidget *MakeLabel(ControlRef staticText) {
    GtkWidget *label = gtk_label_new(CopyControlTitle(staticText).c_str());
    gtk_label_set_xalign(GTK_LABEL(label), kLabelStartAlignment);
    return label;
}

// A pointer's press or touch gave the focus, else the keyboard or the program.
FocusCause CauseOfFocus() {
    const std::unique_ptr<GdkEvent, decltype(&gdk_event_free)> event(gtk_get_current_event(), gdk_event_free);
    const bool byPointer = event && (event->type == GDK_BUTTON_PRESS || event->type == GDK_TOUCH_BEGIN);
    return byPointer ? FocusCause::Click : FocusCause::Keyboard;
}

void RedrawPopup(ControlRef popup, GtkWidget *combo) {
    const SInt32 position = GetControl32BitValue(popup);
    const SInt32 itemCount = CountPopupItems(popup);
    // A value that names no item shows no choice, as `show` reports it.
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), position >= 1 && position <= itemCount ? position - 1 : kNoChoice);
}

void RedrawField(ControlRef field, GtkWidget *entry) {
    const std::string text = CopyFieldText(field).value_or("");
    if (text != gtk_entry_get_text(GTK_ENTRY(entry))) gtk_entry_set_text(GTK_ENTRY(entry), text.c_str());
    const ControlEditTextSelectionRec selection = GetFieldSelection(field).value_or(ControlEditTextSelectionRec{});
    const auto start = static_cast<gint>(CharacterOffsetFromUTF16(text, selection.selStart));
    const auto end = static_cast<gint>(CharacterOffsetFromUTF16(text, selection.selEnd));
    // The same selection stays as it is, so that its anchor stays at the end
    // where Shift+arrow began it.
    gint shownStart = 0;
    gint shownEnd = 0;
    if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(entry), &shownStart, &shownEnd)) {
        shownStart = shownEnd = gtk_editable_get_position(GTK_EDITABLE(entry));
    }
    if (shownStart != start || shownEnd != end) gtk_editable_select_region(GTK_EDITABLE(entry), start, end);
}

}  // namespace

PaneView::PaneView(WindowRef window, std::function<void()> afterAction)
    : fixed_(gtk_fixed_new()), afterAction_(std::move(afterAction)) {
    g_object_ref_sink(fixed_);
    Rect content{};
    GetWindowBounds(window, kWindowContentRgn, &content);
    gtk_widget_set_size_request(fixed_, content.right - content.left, content.bottom - content.top);
    ControlRef root = nullptr;
    if (GetRootControl(window, &root) == noErr) AddEmbeddedControls(root);
    NameControlsByTheirLabels();
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
        if (view->kind == kControlKindPopupButton) RedrawPopup(view->control, view->widget);
        if (view->kind == kControlKindEditUnicodeText) RedrawField(view->control, view->widget);
        gtk_widget_set_sensitive(view->widget, IsControlEnabled(view->control));
    }
    redrawing_ = false;
}

// Bounds are in the window's content coordinates, as the fixed's are.
void PaneView::AddEmbeddedControls(ControlRef container) {
    UInt16 count = 0;
    if (CountSubControls(container, &count) != noErr) return;
    for (UInt16 index = 1; index <= count; ++index) {
        ControlRef control = nullptr;
        ::ControlKind kind{};
        if (GetIndexedSubControl(container, index, &control) != noErr || GetControlKind(control, &kind) != noErr) {
            continue;
        }
        if (kind.kind == kControlKindUserPane) {
            AddEmbeddedControls(control);
        } else {
            AddControl(control, kind.kind);
        }
    }
}

void PaneView::AddControl(ControlRef control, OSType kind) {
    GtkWidget *widget = nullptr;
    switch (kind) {
        case kControlKindPopupButton:
            widget = MakePopup(control);
            break;
        case kControlKindEditUnicodeText:
            widget = gtk_entry_new();
            break;
        case kControlKindStaticText:
            widget = MakeLabel(control);
            break;
        default:
            return;  // a kind this dialog does not draw
    }
    const Rect bounds = ControlBounds(control);
    gtk_widget_set_size_request(widget, bounds.right - bounds.left, bounds.bottom - bounds.top);
    gtk_fixed_put(GTK_FIXED(fixed_), widget, bounds.left, bounds.top);
    views_.push_back(std::make_unique<ControlView>(ControlView{this, control, kind, widget}));
    Connect(*views_.back());
}

// Each popup and field is named by its label, for screen readers: its
// accessible name, and the labelled-by and label-for relations.
void PaneView::NameControlsByTheirLabels() {
    for (const auto &view : views_) {
        if (view->kind == kControlKindStaticText) continue;
        const ControlRef label = FindControlLabel(view->control);
        const auto labelView = std::ranges::find(views_, label, [](const auto &each) { return each->control; });
        if (labelView == views_.end()) continue;  // no label, or one this view does not draw
        gtk_label_set_mnemonic_widget(GTK_LABEL((*labelView)->widget), view->widget);
        atk_object_set_name(gtk_widget_get_accessible(view->widget), AccessibleNameFromLabel(label).c_str());
    }
}

void PaneView::Connect(ControlView &view) {
    if (view.kind == kControlKindPopupButton) {
        g_signal_connect(view.widget, "changed", G_CALLBACK(OnPopupChanged), &view);
    } else if (view.kind == kControlKindEditUnicodeText) {
        g_signal_connect(view.widget, "key-press-event", G_CALLBACK(OnEntryKeyPress), &view);
        g_signal_connect(view.widget, "button-press-event", G_CALLBACK(OnEntryButtonPress), &view);
        g_signal_connect_after(view.widget, "grab-focus", G_CALLBACK(OnEntryFocusGrabbed), &view);
        g_signal_connect(view.widget, "insert-text", G_CALLBACK(OnEntryInsert), &view);
        g_signal_connect(view.widget, "delete-text", G_CALLBACK(OnEntryDelete), &view);
        g_signal_connect(view.widget, "notify::cursor-position", G_CALLBACK(OnEntrySelectionMoved), &view);
        g_signal_connect(view.widget, "notify::selection-bound", G_CALLBACK(OnEntrySelectionMoved), &view);
    }
}

// A choice in the combo is a choice in the popup: its value and its command.
void PaneView::OnPopupChanged(GtkComboBox *combo, ControlView *view) {
    if (view->pane->redrawing_) return;
    const gint active = gtk_combo_box_get_active(combo);
    if (active == kNoChoice) return;
    ChoosePopupItem(view->control, std::to_string(active + 1));
    view->pane->afterAction_();
}

// Every key that edits goes to the host; the pane's handlers decide. A key
// they pass on gets the dialog's own handling (Tab and Shift+Tab move the
// focus); a key they refuse rings the bell.
gboolean PaneView::OnEntryKeyPress(GtkWidget *entry, GdkEventKey *event, ControlView *view) {
    const TranslatedKey key = TranslateKey(event->keyval, static_cast<GdkModifierType>(event->state));
    if (key.route == KeyRoute::Entry) return FALSE;
    const KeyOutcome outcome = key.route == KeyRoute::HostKey ? PressFieldKey(view->control, key.charCode)
                                                              : TypeFieldCharacter(view->control, key.text);
    view->pane->afterAction_();
    if (outcome == KeyOutcome::Refused) gtk_widget_error_bell(entry);
    return outcome == KeyOutcome::PassedOn ? FALSE : TRUE;
}

// A click that selects the whole text takes the focus without GTK's own
// press, which would put the caret where the pointer landed.
gboolean PaneView::OnEntryButtonPress(GtkWidget *entry, GdkEventButton *event, ControlView *view) {
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY || gtk_widget_has_focus(entry) ||
        !SelectsWholeTextOnFocus(view->control, FocusCause::Click)) {
        return FALSE;
    }
    gtk_widget_grab_focus(entry);
    return TRUE;
}

void PaneView::OnEntryFocusGrabbed(GtkWidget *, ControlView *view) {
    if (!SelectsWholeTextOnFocus(view->control, CauseOfFocus())) return;
    SelectWholeText(view->control);
    view->pane->afterAction_();
}

// The entry never edits itself (a paste, a cut, an input method): only a
// redraw from the model changes its text.
void PaneView::OnEntryInsert(GtkEditable *entry, gchar *, gint, gpointer, ControlView *view) {
    if (!view->pane->redrawing_) g_signal_stop_emission_by_name(entry, "insert-text");
}

void PaneView::OnEntryDelete(GtkEditable *entry, gint, gint, ControlView *view) {
    if (!view->pane->redrawing_) g_signal_stop_emission_by_name(entry, "delete-text");
}

// A click or a Shift+arrow moved the caret or the selection in the entry.
void PaneView::OnEntrySelectionMoved(GtkEditable *entry, GParamSpec *, ControlView *view) {
    if (view->pane->redrawing_) return;
    const std::string text = gtk_entry_get_text(GTK_ENTRY(entry));
    gint start = 0;
    gint end = 0;
    if (!gtk_editable_get_selection_bounds(entry, &start, &end)) start = end = gtk_editable_get_position(entry);
    const auto selection = ControlEditTextSelectionRec{static_cast<SInt16>(UTF16OffsetFromCharacter(text, start)),
                                                       static_cast<SInt16>(UTF16OffsetFromCharacter(text, end))};
    const std::optional<ControlEditTextSelectionRec> current = GetFieldSelection(view->control);
    if (current && current->selStart == selection.selStart && current->selEnd == selection.selEnd) return;
    SelectText(view->control, selection);
    view->pane->afterAction_();
}

}  // namespace kvx::dialog
