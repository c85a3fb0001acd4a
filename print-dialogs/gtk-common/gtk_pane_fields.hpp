// The pane's text fields as GTK entries, built once per GTK version: GTK 3
// and GTK 4 entries share the editable's selection calls and differ only in
// how their text is read and set.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <utility>

#include "session/controls/pane_presenter.hpp"

namespace kvx::gtk_print {

std::string EntryText(GtkWidget *entry);

// The entry's selection in characters; the caret's position twice when
// nothing is selected.
std::pair<gint, gint> EntrySelection(GtkWidget *entry);

// Sets the entry's text and selection from the field's value; the same
// selection stays as it is, so that its anchor stays at the end where
// Shift+arrow began it.
void RedrawField(const session::ControlValue &value, GtkWidget *entry);

// The editable that emits the entry's edits: GTK 3 the entry, GTK 4 the
// text it delegates to.
GtkEditable *EditsOf(GtkWidget *entry);

// The entry never edits itself (a paste, a cut, an input method): only a
// redraw from the model, while *redrawing, changes its text. text is the
// entry's EditsOf.
void KeepEditsFromEntry(GtkEditable *text, const bool *redrawing);

}  // namespace kvx::gtk_print
