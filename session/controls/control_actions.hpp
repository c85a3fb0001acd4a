// What a user does to the pane's controls: choosing a popup item, typing,
// pressing editing keys, selecting and pasting. Each goes through the host's
// events as the user's own would.
#pragma once

#include <string_view>

#include "Carbon.h"

namespace kvx::session {

enum class UserActionResult {
    Taken,
    ControlDisabled,  // a disabled control takes nothing; nothing changed
    NoSuchItem,       // the popup has no item at that position or with that text
    InvalidText,      // the text is not valid UTF-8
};

// The command ID that a choice in a popup sends.
constexpr UInt32 kPopupChoiceCommandID = 'popc';

// item: a 1-based position (digits only) or an item's exact text. Sets the
// popup's value and sends the choice's command event.
UserActionResult ChoosePopupItem(ControlRef popup, std::string_view item);
// One raw key-down event per UTF-16 unit of the UTF-8 text.
UserActionResult TypeText(ControlRef field, std::string_view utf8);
// One raw key-down event with a character code of Carbon.h.
UserActionResult PressKey(ControlRef field, UniChar charCode);
// Sets the field's selection; UTF-16 positions.
UserActionResult SelectText(ControlRef field, ControlEditTextSelectionRec selection);
// Replaces the field's text without key events, as a paste does.
UserActionResult PasteText(ControlRef field, std::string_view utf8);

}  // namespace kvx::session
