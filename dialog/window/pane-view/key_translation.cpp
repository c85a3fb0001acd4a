#include "window/pane-view/key_translation.hpp"

#include <array>
#include <utility>

namespace kvx::dialog {
namespace {

constexpr GdkModifierType kShortcutModifiers = static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_MOD1_MASK);
constexpr gunichar kFirstPrintable = 0x20;
constexpr gunichar kDeleteCharacter = 0x7F;
constexpr size_t kLongestUTF8Character = 6;

constexpr std::array<std::pair<guint, UniChar>, 21> kNamedKeys{{
    {GDK_KEY_BackSpace, kBackspaceCharCode},
    {GDK_KEY_Delete, kDeleteCharCode},
    {GDK_KEY_KP_Delete, kDeleteCharCode},
    {GDK_KEY_Left, kLeftArrowCharCode},
    {GDK_KEY_KP_Left, kLeftArrowCharCode},
    {GDK_KEY_Right, kRightArrowCharCode},
    {GDK_KEY_KP_Right, kRightArrowCharCode},
    {GDK_KEY_Up, kUpArrowCharCode},
    {GDK_KEY_KP_Up, kUpArrowCharCode},
    {GDK_KEY_Down, kDownArrowCharCode},
    {GDK_KEY_KP_Down, kDownArrowCharCode},
    {GDK_KEY_Home, kHomeCharCode},
    {GDK_KEY_KP_Home, kHomeCharCode},
    {GDK_KEY_End, kEndCharCode},
    {GDK_KEY_KP_End, kEndCharCode},
    {GDK_KEY_Tab, kTabCharCode},
    {GDK_KEY_ISO_Left_Tab, kTabCharCode},  // Shift+Tab
    {GDK_KEY_KP_Tab, kTabCharCode},
    {GDK_KEY_Return, kReturnCharCode},
    {GDK_KEY_KP_Enter, kEnterCharCode},
    {GDK_KEY_Escape, kEscapeCharCode},
}};

// With Shift these grow the selection, which GTK does and the view passes on.
constexpr std::array<UniChar, 6> kSelectionKeys{kLeftArrowCharCode, kRightArrowCharCode, kUpArrowCharCode,
                                                kDownArrowCharCode, kHomeCharCode, kEndCharCode};

const UniChar *FindNamedKey(guint keyval) {
    for (const auto &[named, charCode] : kNamedKeys) {
        if (named == keyval) return &charCode;
    }
    return nullptr;
}

bool ExtendsSelection(UniChar charCode) {
    for (const UniChar key : kSelectionKeys) {
        if (key == charCode) return true;
    }
    return false;
}

}  // namespace

TranslatedKey TranslateKey(guint keyval, GdkModifierType state) {
    if ((state & kShortcutModifiers) != 0) return {};
    if (const UniChar *charCode = FindNamedKey(keyval)) {
        if ((state & GDK_SHIFT_MASK) != 0 && ExtendsSelection(*charCode)) return {};
        return {KeyRoute::HostKey, *charCode, {}};
    }
    const gunichar character = gdk_keyval_to_unicode(keyval);
    if (character < kFirstPrintable || character == kDeleteCharacter) return {};
    std::array<gchar, kLongestUTF8Character> utf8{};
    const gint length = g_unichar_to_utf8(character, utf8.data());
    return {KeyRoute::HostText, 0, std::string(utf8.data(), static_cast<size_t>(length))};
}

}  // namespace kvx::dialog
