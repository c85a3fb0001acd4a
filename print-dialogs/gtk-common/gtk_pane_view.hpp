// The pane as GTK widgets, built once per GTK version: drawn from the
// print session's presenter (session/controls/pane_presenter.hpp) in
// kvx-dialog's window (GTK 3) and in the modules' tabs, one widget per
// control, placed where the plug-in laid it out. The widgets only show the
// presenter's state and hand it the person's input; every widget is redrawn
// from the model afterwards. What differs between the versions, the popup
// widget and the signals, is in gtk3/gtk3_control_widgets.cpp and
// gtk4/gtk4_control_widgets.cpp.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Carbon.h"
#include "session/controls/pane_presenter.hpp"

namespace kvx::gtk_print {

// A GDK key event as the shared key table reads it.
session::KeyPress KeyPressFromGdk(guint keyval, GdkModifierType state);

class GtkPaneView {
public:
    // Builds a widget for each control embedded in the window. afterAction
    // runs after each user action that reached the host.
    GtkPaneView(WindowRef window, std::function<void()> afterAction);
    ~GtkPaneView();
    GtkPaneView(const GtkPaneView &) = delete;
    GtkPaneView &operator=(const GtkPaneView &) = delete;

    // The pane's widget, sized as the window's content (GTK 4: its parent
    // removes it before the view goes).
    GtkWidget *Widget() const { return fixed_; }

    // Sets every widget's value, text, selection and sensitivity from the
    // model; the widgets' own signals are ignored meanwhile.
    void Redraw();

    struct ControlView {
        GtkPaneView *pane;
        size_t index;  // into the presenter's controls
        session::ControlKind kind;
        GtkWidget *widget;
        std::vector<GObject *> sources;  // the widget and its event controllers, whose signals reach this view
        bool clickFocusing = false;     // GTK 4: a press is about to give the entry the focus
    };

    // The person's input, as each version's signals report it.
    void ChooseItem(const ControlView &view, size_t item);
    // True when the pane took the key (a refused one rings the bell); a key
    // it passes on gets the entry's and the dialog's own handling.
    bool PressKey(const ControlView &view, const session::KeyPress &press);
    bool SelectsWholeTextOnClick(const ControlView &view) const;
    void FocusGained(const ControlView &view, session::FocusCause cause);

private:
    // Each GTK version's own widgets and signals.
    static GtkWidget *MakePopup(const std::vector<std::string> &items);
    static void ShowItem(GtkWidget *popup, std::optional<size_t> item);
    static void NameForScreenReaders(GtkWidget *control, GtkWidget *label, const std::string &name);
    // The popup's choice, the field's keys, presses and focus.
    void ConnectInput(ControlView &view);

    void Connect(ControlView &view);

    static void OnEntrySelectionMoved(GtkEditable *entry, GParamSpec *, ControlView *view);

    session::PanePresenter presenter_;
    GtkWidget *fixed_;
    std::function<void()> afterAction_;
    std::vector<std::unique_ptr<ControlView>> views_;
    bool redrawing_ = false;
};

}  // namespace kvx::gtk_print
