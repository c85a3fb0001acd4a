// The pane's five controls as host-side code knows them (the dialog, its
// window, the tests and the GTK module): their script names, their IDs in
// the dialog's window, what they show, and the status of a pane that does
// not serve the printer. Defined here once.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "Carbon.h"
#include "PrintCore.h"

namespace kvx::session {

enum class PaneControlKind { Popup, TextField };

struct ControlSpec {
    std::string_view name;
    SInt32 id;
    PaneControlKind kind;
};

// Initialize's answer for a printer that the pane does not serve: the pane
// is not shown.
constexpr OSStatus kPaneNotShownStatus = kPMPDEPaneNotShownErr;

// Every control of the pane carries this signature in its ID.
constexpr OSType kPaneControlSignature = 'kvx ';

// In the order that `show` reports them.
constexpr std::array<ControlSpec, 5> kPaneControls{{
    {"print-mode", 5, PaneControlKind::Popup},
    {"din", 6, PaneControlKind::TextField},
    {"department", 7, PaneControlKind::Popup},
    {"dc", 8, PaneControlKind::TextField},
    {"orientation", 9, PaneControlKind::Popup},
}};

// Null for a name that is not one of kPaneControls.
const ControlSpec *FindControlSpec(std::string_view name);

// The control in the window, or null when the window has none with its ID.
ControlRef FindPaneControl(WindowRef window, const ControlSpec &spec);

// The control's bounds, in its window's content coordinates.
Rect ControlBounds(ControlRef control);
// The control's title (a static text's text); empty when it has none.
std::string CopyControlTitle(ControlRef control);

// The text of the popup's menu item at a 1-based position; nullopt when the
// popup has no menu or no such item.
std::optional<std::string> CopyPopupItemText(ControlRef popup, SInt32 position);
// The number of items in the popup's menu; 0 for a popup without a menu.
UInt16 CountPopupItems(ControlRef popup);

// The field's whole text, or nullopt when it cannot be read.
std::optional<std::string> CopyFieldText(ControlRef field);
// The field's selection (caret when start equals end), or nullopt.
std::optional<ControlEditTextSelectionRec> GetFieldSelection(ControlRef field);

}  // namespace kvx::session
