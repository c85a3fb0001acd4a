// Which keys of a GTK entry become host key events, which become typed
// characters, and which GTK keeps (it can then only move the selection).
#include <gtest/gtest.h>

#include "key_translation.hpp"

namespace kvx::dialog {
namespace {

constexpr auto kNoModifiers = static_cast<GdkModifierType>(0);

TEST(WindowKeys, CharactersAreTypedAsTheirUTF8Text) {
    for (const auto &[keyval, text] : std::vector<std::pair<guint, std::string>>{
             {GDK_KEY_a, "a"},
             {GDK_KEY_7, "7"},
             {GDK_KEY_KP_7, "7"},  // the keypad's digits are digits
             {GDK_KEY_space, " "},
             {GDK_KEY_eacute, "\u00e9"},
             {GDK_KEY_EuroSign, "\u20ac"},
             {0x0101F600, "\U0001F600"},  // beyond the BMP: a surrogate pair for the host
         }) {
        const TranslatedKey key = TranslateKey(keyval, kNoModifiers);
        EXPECT_EQ(key.route, KeyRoute::HostText) << text;
        EXPECT_EQ(key.text, text);
    }
    // Shift makes the character; it does not hold it back.
    EXPECT_EQ(TranslateKey(GDK_KEY_A, GDK_SHIFT_MASK).text, "A");
}

TEST(WindowKeys, EditingKeysBecomeTheHostsCharacterCodes) {
    for (const auto &[keyval, charCode] : std::vector<std::pair<guint, UniChar>>{
             {GDK_KEY_BackSpace, kBackspaceCharCode},
             {GDK_KEY_Delete, kDeleteCharCode},
             {GDK_KEY_KP_Delete, kDeleteCharCode},
             {GDK_KEY_Left, kLeftArrowCharCode},
             {GDK_KEY_Right, kRightArrowCharCode},
             {GDK_KEY_Home, kHomeCharCode},
             {GDK_KEY_End, kEndCharCode},
             {GDK_KEY_Tab, kTabCharCode},
             {GDK_KEY_ISO_Left_Tab, kTabCharCode},
             {GDK_KEY_Return, kReturnCharCode},
             {GDK_KEY_KP_Enter, kEnterCharCode},  // Enter is not Return
             {GDK_KEY_Escape, kEscapeCharCode},
         }) {
        const TranslatedKey key = TranslateKey(keyval, kNoModifiers);
        EXPECT_EQ(key.route, KeyRoute::HostKey) << keyval;
        EXPECT_EQ(key.charCode, charCode) << keyval;
    }
}

TEST(WindowKeys, ShortcutsAndSelectionKeysStayWithTheEntry) {
    EXPECT_EQ(TranslateKey(GDK_KEY_a, GDK_CONTROL_MASK).route, KeyRoute::Entry);
    EXPECT_EQ(TranslateKey(GDK_KEY_v, GDK_CONTROL_MASK).route, KeyRoute::Entry);
    EXPECT_EQ(TranslateKey(GDK_KEY_5, GDK_MOD1_MASK).route, KeyRoute::Entry);
    EXPECT_EQ(TranslateKey(GDK_KEY_Left, GDK_SHIFT_MASK).route, KeyRoute::Entry);
    EXPECT_EQ(TranslateKey(GDK_KEY_End, GDK_SHIFT_MASK).route, KeyRoute::Entry);
    // Shift does not make an editing key a selection key.
    EXPECT_EQ(TranslateKey(GDK_KEY_BackSpace, GDK_SHIFT_MASK).route, KeyRoute::HostKey);
    // Keys without a character: nothing for the host to type.
    EXPECT_EQ(TranslateKey(GDK_KEY_Shift_L, GDK_SHIFT_MASK).route, KeyRoute::Entry);
    EXPECT_EQ(TranslateKey(GDK_KEY_F1, kNoModifiers).route, KeyRoute::Entry);
}

}  // namespace
}  // namespace kvx::dialog
