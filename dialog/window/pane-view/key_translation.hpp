// Which way a key pressed in one of the window's text entries goes: to the
// host as a raw key event, or left to GTK. The entry never edits its own
// text, so whatever GTK keeps can only move the caret or the selection.
#pragma once

#include <gdk/gdk.h>

#include <string>

#include "Carbon.h"

namespace kvx::dialog {

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

TranslatedKey TranslateKey(guint keyval, GdkModifierType state);

}  // namespace kvx::dialog
