// Which way a key pressed in one of the pane's text fields goes: to the host
// as a raw key event, or left to the toolkit's entry. The entry never edits
// its own text, so whatever it keeps can only move the caret or the
// selection. Keys come as X keysyms, the values GDK 3 and GDK 4 both call
// GDK_KEY_*, so both GTK views share this table as plain numbers; the
// character a key types is the toolkit's to say (its keymap knows).
#pragma once

#include <cstdint>
#include <string>

#include "Carbon.h"

namespace kvx::session {

enum class KeyRoute {
    HostKey,   // an editing or navigation key: charCode
    HostText,  // a character: text, as UTF-8
    Entry,     // a shortcut, a selection-extending key or a key without a character
};

struct TranslatedKey {
    KeyRoute route = KeyRoute::Entry;
    UniChar charCode = 0;
    std::string text;
};

struct KeyPress {
    uint32_t keysym = 0;
    char32_t character = 0;  // what the key types, 0 for none
    bool shift = false;
    bool shortcut = false;  // Control or Alt held
};

TranslatedKey TranslateKey(const KeyPress &key);

}  // namespace kvx::session
