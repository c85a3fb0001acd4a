// The pane as GTK widgets: a view of the host's controls in the dialog's
// window, placed where the plug-in laid them out. The host's control model
// is the truth: a user's choice or key goes to the host as an event, and
// every widget is redrawn from the model afterwards. The focus, the bell and
// the names for screen readers follow the toolkit-free rules of
// pane/control_labels.hpp and script/field_input.hpp.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <vector>

#include "Carbon.h"

namespace kvx::dialog {

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
    void AddEmbeddedControls(ControlRef container);
    void AddControl(ControlRef control, OSType kind);
    void NameControlsByTheirLabels();
    void Connect(ControlView &view);

    static void OnPopupChanged(GtkComboBox *combo, ControlView *view);
    static gboolean OnEntryKeyPress(GtkWidget *entry, GdkEventKey *event, ControlView *view);
    static gboolean OnEntryButtonPress(GtkWidget *entry, GdkEventButton *event, ControlView *view);
    static void OnEntryFocusGrabbed(GtkWidget *entry, ControlView *view);
    static void OnEntryInsert(GtkEditable *entry, gchar *text, gint length, gpointer position, ControlView *view);
    static void OnEntryDelete(GtkEditable *entry, gint start, gint end, ControlView *view);
    static void OnEntrySelectionMoved(GtkEditable *entry, GParamSpec *property, ControlView *view);

    GtkWidget *fixed_;
    std::function<void()> afterAction_;
    std::vector<std::unique_ptr<ControlView>> views_;
    bool redrawing_ = false;
};

}  // namespace kvx::dialog
