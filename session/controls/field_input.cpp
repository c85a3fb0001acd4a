#include "session/controls/field_input.hpp"

#include <limits>
#include <string>
#include <tuple>

#include "KVXHost.h"
#include "session/controls/pane_controls.hpp"
#include "session/controls/control_actions.hpp"

namespace kvx::session {
namespace {

// The host clamps a selection's end to the text, as the platform did.
constexpr SInt16 kTextEnd = std::numeric_limits<SInt16>::max();
constexpr char kZeroDigit = '0';

// All that a key can change in a field.
using FieldState = std::tuple<std::string, SInt16, SInt16>;

FieldState ReadFieldState(ControlRef field) {
    const ControlEditTextSelectionRec selection = GetFieldSelection(field).value_or(ControlEditTextSelectionRec{});
    return {CopyFieldText(field).value_or(""), selection.selStart, selection.selEnd};
}

// Of the named keys only these two edit; the others move the caret, which
// may already be where they would put it, or belong to the dialog (Tab,
// Return, Escape).
bool AsksForEdit(UniChar charCode) { return charCode == kBackspaceCharCode || charCode == kDeleteCharCode; }

// A handler that drops a key answers as the field's own editing does; only
// the field's unchanged model tells the two apart.
KeyOutcome OutcomeOfTakenKey(bool asksForEdit, const FieldState &before, ControlRef field) {
    return asksForEdit && ReadFieldState(field) == before ? KeyOutcome::Refused : KeyOutcome::Taken;
}

}  // namespace

bool SelectsWholeTextOnFocus(ControlRef field, FocusCause cause) {
    if (cause == FocusCause::Keyboard) return true;
    const std::string text = CopyFieldText(field).value_or("");
    return !text.empty() && text.find_first_not_of(kZeroDigit) == std::string::npos;
}

void SelectWholeText(ControlRef field) { SelectText(field, ControlEditTextSelectionRec{0, kTextEnd}); }

KeyOutcome PressFieldKey(ControlRef field, UniChar charCode) {
    const FieldState before = ReadFieldState(field);
    if (KVXSendKeyToControl(field, kEventRawKeyDown, charCode, 0) == eventNotHandledErr) return KeyOutcome::PassedOn;
    return OutcomeOfTakenKey(AsksForEdit(charCode), before, field);
}

KeyOutcome TypeFieldCharacter(ControlRef field, std::string_view utf8) {
    const FieldState before = ReadFieldState(field);
    TypeText(field, utf8);
    return OutcomeOfTakenKey(true, before, field);
}

}  // namespace kvx::session
