// The pane as GTK 3 widgets, drawn from the toolkit-free presenter
// (print-dialogs/core/pane_presenter.hpp) in kvx-dialog's window and in the
// GTK 3 module's tab: one widget per control, placed where the plug-in laid
// it out. The widgets only show the presenter's state and hand it the
// person's input; every widget is redrawn from the model afterwards.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <vector>

#include "Carbon.h"
#include "core/pane_presenter.hpp"

namespace kvx::dialog {

// A GDK 3 key event as the shared key table reads it.
print_dialogs::KeyPress KeyPressFromGdk(guint keyval, GdkModifierType state);

class PaneView {
public:
    // Builds a widget for each control embedded in the window. afterAction
    // runs after each user action that reached the host.
    PaneView(WindowRef window, std::function<void()> afterAction);
    ~PaneView();
    PaneView(const PaneView &) = delete;
    PaneView &operator=(const PaneView &) = delete;

    // The pane's widget, sized as the window's content.
    GtkWidget *Widget() const { return fixed_; }

    // Sets every widget's value, text, selection and sensitivity from the
    // model; the widgets' own signals are ignored meanwhile.
    void Redraw();

    struct ControlView;

private:
    void Connect(ControlView &view);

    static void OnPopupChanged(GtkComboBox *combo, ControlView *view);
    static gboolean OnEntryKeyPress(GtkWidget *entry, GdkEventKey *event, ControlView *view);
    static gboolean OnEntryButtonPress(GtkWidget *entry, GdkEventButton *event, ControlView *view);
    static void OnEntryFocusGrabbed(GtkWidget *entry, ControlView *view);
    static void OnEntrySelectionMoved(GtkEditable *entry, GParamSpec *property, ControlView *view);

    print_dialogs::PanePresenter presenter_;
    GtkWidget *fixed_;
    std::function<void()> afterAction_;
    std::vector<std::unique_ptr<ControlView>> views_;
    bool redrawing_ = false;
};

}  // namespace kvx::dialog
