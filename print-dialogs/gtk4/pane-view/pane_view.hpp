// The pane as GTK 4 widgets, drawn from the toolkit-free presenter
// (print-dialogs/core/pane_presenter.hpp) in the GTK 4 module's tab: one
// widget per control, placed where the plug-in laid it out. The widgets
// only show the presenter's state and hand it the person's input, through
// GTK 4's event controllers; every widget is redrawn from the model after.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <vector>

#include "Carbon.h"
#include "core/pane_presenter.hpp"

namespace kvx::gtk_module {

class PaneView {
public:
    // Builds a widget for each control embedded in the window. afterAction
    // runs after each user action that reached the host.
    PaneView(WindowRef window, std::function<void()> afterAction);
    ~PaneView();
    PaneView(const PaneView &) = delete;
    PaneView &operator=(const PaneView &) = delete;

    // The pane's widget, sized as the window's content; its parent removes
    // it before the view goes.
    GtkWidget *Widget() const { return fixed_; }

    // Sets every widget's value, text, selection and sensitivity from the
    // model; the widgets' own signals are ignored meanwhile.
    void Redraw();

    struct ControlView;

private:
    void Connect(ControlView &view);

    static void OnPopupSelected(GtkDropDown *dropDown, GParamSpec *, ControlView *view);
    static gboolean OnEntryKeyPressed(GtkEventControllerKey *, guint keyval, guint, GdkModifierType state,
                                      ControlView *view);
    static void OnEntryPressed(GtkGestureClick *gesture, gint, gdouble, gdouble, ControlView *view);
    static void OnEntryFocusEntered(GtkEventControllerFocus *, ControlView *view);
    static void OnEntrySelectionMoved(GtkEditable *entry, GParamSpec *, ControlView *view);

    print_dialogs::PanePresenter presenter_;
    GtkWidget *fixed_;
    std::function<void()> afterAction_;
    std::vector<std::unique_ptr<ControlView>> views_;
    bool redrawing_ = false;
};

}  // namespace kvx::gtk_module
