#include "window/pane-view/text_offsets.hpp"

#include <glib.h>

namespace kvx::dialog {
namespace {

constexpr gunichar kFirstBeyondBMP = 0x10000;

long UTF16Width(gunichar character) {
    return character >= kFirstBeyondBMP ? 2 : 1;
}

}  // namespace

long CharacterOffsetFromUTF16(std::string_view utf8, long utf16Offset) {
    long characters = 0;
    long units = 0;
    const char *const end = utf8.data() + utf8.size();
    for (const char *at = utf8.data(); at < end && units < utf16Offset; at = g_utf8_next_char(at)) {
        units += UTF16Width(g_utf8_get_char(at));
        if (units > utf16Offset) break;  // the offset falls inside this pair
        ++characters;
    }
    return characters;
}

long UTF16OffsetFromCharacter(std::string_view utf8, long characterOffset) {
    long units = 0;
    long characters = 0;
    const char *const end = utf8.data() + utf8.size();
    for (const char *at = utf8.data(); at < end && characters < characterOffset; at = g_utf8_next_char(at)) {
        units += UTF16Width(g_utf8_get_char(at));
        ++characters;
    }
    return units;
}

}  // namespace kvx::dialog
