#include "session/controls/key_translation.hpp"

#include <algorithm>
#include <array>
#include <utility>

#include "session/controls/text_offsets.hpp"

namespace kvx::session {
namespace {

constexpr char32_t kFirstPrintable = 0x20;
constexpr char32_t kDeleteCharacter = 0x7F;

// X keysyms (X11/keysymdef.h), as GDK_KEY_* names them.
constexpr uint32_t kKeyBackSpace = 0xff08;
constexpr uint32_t kKeyTab = 0xff09;
constexpr uint32_t kKeyReturn = 0xff0d;
constexpr uint32_t kKeyEscape = 0xff1b;
constexpr uint32_t kKeyHome = 0xff50;
constexpr uint32_t kKeyLeft = 0xff51;
constexpr uint32_t kKeyUp = 0xff52;
constexpr uint32_t kKeyRight = 0xff53;
constexpr uint32_t kKeyDown = 0xff54;
constexpr uint32_t kKeyEnd = 0xff57;
constexpr uint32_t kKeyISOLeftTab = 0xfe20;  // Shift+Tab
constexpr uint32_t kKeyKPTab = 0xff89;
constexpr uint32_t kKeyKPEnter = 0xff8d;
constexpr uint32_t kKeyKPHome = 0xff95;
constexpr uint32_t kKeyKPLeft = 0xff96;
constexpr uint32_t kKeyKPUp = 0xff97;
constexpr uint32_t kKeyKPRight = 0xff98;
constexpr uint32_t kKeyKPDown = 0xff99;
constexpr uint32_t kKeyKPEnd = 0xff9c;
constexpr uint32_t kKeyKPDelete = 0xff9f;
constexpr uint32_t kKeyDelete = 0xffff;

constexpr std::array<std::pair<uint32_t, UniChar>, 21> kNamedKeys{{
    {kKeyBackSpace, kBackspaceCharCode},
    {kKeyDelete, kDeleteCharCode},
    {kKeyKPDelete, kDeleteCharCode},
    {kKeyLeft, kLeftArrowCharCode},
    {kKeyKPLeft, kLeftArrowCharCode},
    {kKeyRight, kRightArrowCharCode},
    {kKeyKPRight, kRightArrowCharCode},
    {kKeyUp, kUpArrowCharCode},
    {kKeyKPUp, kUpArrowCharCode},
    {kKeyDown, kDownArrowCharCode},
    {kKeyKPDown, kDownArrowCharCode},
    {kKeyHome, kHomeCharCode},
    {kKeyKPHome, kHomeCharCode},
    {kKeyEnd, kEndCharCode},
    {kKeyKPEnd, kEndCharCode},
    {kKeyTab, kTabCharCode},
    {kKeyISOLeftTab, kTabCharCode},
    {kKeyKPTab, kTabCharCode},
    {kKeyReturn, kReturnCharCode},
    {kKeyKPEnter, kEnterCharCode},
    {kKeyEscape, kEscapeCharCode},
}};

// With Shift these grow the selection, which the toolkit's entry does and
// the view passes on.
constexpr std::array<UniChar, 6> kSelectionKeys{kLeftArrowCharCode, kRightArrowCharCode, kUpArrowCharCode,
                                                kDownArrowCharCode, kHomeCharCode, kEndCharCode};

}  // namespace

TranslatedKey TranslateKey(const KeyPress &key) {
    if (key.shortcut) return {};
    const auto named = std::ranges::find(kNamedKeys, key.keysym, &std::pair<uint32_t, UniChar>::first);
    if (named != kNamedKeys.end()) {
        if (key.shift && std::ranges::find(kSelectionKeys, named->second) != kSelectionKeys.end()) return {};
        return {KeyRoute::HostKey, named->second, {}};
    }
    if (key.character < kFirstPrintable || key.character == kDeleteCharacter) return {};
    return {KeyRoute::HostText, 0, EncodeUTF8(key.character)};
}

}  // namespace kvx::session
