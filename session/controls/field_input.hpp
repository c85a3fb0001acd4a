// A person's focus and keys in one of the pane's text fields, decided on the
// host's model so that every toolkit's view behaves alike: which focus
// selects the field's whole text, and what became of a key.
#pragma once

#include <string_view>

#include "Carbon.h"

namespace kvx::session {

enum class FocusCause { Keyboard, Click };

// From the keyboard always, as in any dialog; from a click only while the
// field holds a zero-filled code, which nobody clicks into to keep. Typing
// then replaces the whole text.
bool SelectsWholeTextOnFocus(ControlRef field, FocusCause cause);
void SelectWholeText(ControlRef field);

enum class KeyOutcome {
    PassedOn,  // every handler and the field passed it on: the dialog's own handling follows (Tab moves the focus)
    Taken,     // it edited or moved the caret, or a handler kept it
    Refused,   // a character, Backspace or Delete that left the text and the selection as they were
};

// One key of the keyboard, sent to the field as a raw key event: a named
// key by its character code, or a typed character as UTF-8.
KeyOutcome PressFieldKey(ControlRef field, UniChar charCode);
KeyOutcome TypeFieldCharacter(ControlRef field, std::string_view utf8);

}  // namespace kvx::session
