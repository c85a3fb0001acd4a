// The window's helpers: which GTK keys become host key events, typed
// characters, or stay with the entry; selections crossing between GTK
// (characters) and the host (UTF-16 units); and the toolkit-free rules of a
// field's focus and keys that every view applies.
#include <gtest/gtest.h>

#include "KVXHostSupport.hpp"
#include "session/controls/field_input.hpp"
#include "session/controls/text_offsets.hpp"
#include "print-dialogs/gtk-common/gtk_pane_view.hpp"

namespace kvx::gtk_print {
namespace {

using namespace session;

constexpr auto kNone = static_cast<GdkModifierType>(0);

// The keys whose way is not plain from the key table: the keypad's, Shift's,
// characters beyond Latin-1 and the BMP, shortcuts and selection keys.
TEST(WindowKeys, EachKeyTakesItsRouteWithItsTextOrCharacterCode) {
    const struct {
        guint keyval;
        GdkModifierType modifiers;
        KeyRoute route;
        std::string text;
        UniChar charCode = 0;
    } cases[] = {
        {GDK_KEY_a, kNone, KeyRoute::HostText, "a"},
        {GDK_KEY_KP_7, kNone, KeyRoute::HostText, "7"},  // the keypad's digits are digits
        {GDK_KEY_eacute, kNone, KeyRoute::HostText, "\u00e9"},
        {0x0101F600, kNone, KeyRoute::HostText, "\U0001F600"},  // beyond the BMP
        {GDK_KEY_A, GDK_SHIFT_MASK, KeyRoute::HostText, "A"},   // Shift makes the character
        {GDK_KEY_KP_Delete, kNone, KeyRoute::HostKey, "", kDeleteCharCode},
        {GDK_KEY_KP_Left, kNone, KeyRoute::HostKey, "", kLeftArrowCharCode},
        {GDK_KEY_ISO_Left_Tab, kNone, KeyRoute::HostKey, "", kTabCharCode},
        {GDK_KEY_KP_Enter, kNone, KeyRoute::HostKey, "", kEnterCharCode},  // Enter is not Return
        {GDK_KEY_a, GDK_CONTROL_MASK, KeyRoute::Entry, ""},  // shortcuts
        {GDK_KEY_5, GDK_MOD1_MASK, KeyRoute::Entry, ""},
        {GDK_KEY_Left, GDK_SHIFT_MASK, KeyRoute::Entry, ""},  // selection keys
        {GDK_KEY_Shift_L, GDK_SHIFT_MASK, KeyRoute::Entry, ""},  // no character
        {GDK_KEY_F1, kNone, KeyRoute::Entry, ""},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.keyval);
        const TranslatedKey key = TranslateKey(KeyPressFromGdk(row.keyval, row.modifiers));
        EXPECT_EQ(key.route, row.route);
        if (row.route == KeyRoute::HostText) {
            EXPECT_EQ(key.text, row.text);
        } else if (row.route == KeyRoute::HostKey) {
            EXPECT_EQ(key.charCode, row.charCode);
        }
    }
}

TEST(WindowTextOffsets, CharactersBeyondTheBMPCountTwiceAndPastTheEndIsTheEnd) {
    // "a", "é" (two UTF-8 bytes), "😀" (four bytes, two UTF-16 units), "b".
    constexpr std::string_view kMixed = "a\u00e9\U0001F600b";
    for (const auto &[characters, units] : std::vector<std::pair<long, long>>{{0, 0}, {1, 1}, {2, 2}, {3, 4}, {4, 5}}) {
        EXPECT_EQ(UTF16OffsetFromCharacter(kMixed, characters), units) << characters;
        EXPECT_EQ(CharacterOffsetFromUTF16(kMixed, units), characters) << units;
    }
    EXPECT_EQ(UTF16OffsetFromCharacter(kMixed, 99), 5);
    const struct {
        std::string_view text;
        long units, characters;
    } toCharacters[] = {
        {kMixed, 99, 4}, {"", 3, 0},
        // a unit inside a surrogate pair names its character
        {kMixed, 3, 2}, {"\U0001F600\U0001F600", 1, 0}, {"\U0001F600\U0001F600", 3, 1},
    };
    for (const auto &[text, units, characters] : toCharacters) EXPECT_EQ(CharacterOffsetFromUTF16(text, units), characters);
}

// A plug-in's key rule that keeps the keys whose characters are listed.
OSStatus KeepListedKeys(EventHandlerCallRef, EventRef event, void *listed) {
    char key = 0;
    GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, 1, nullptr, &key);
    const bool kept = std::string_view(static_cast<const char *>(listed)).find(key) != std::string_view::npos;
    return kept ? OSStatus{noErr} : eventNotHandledErr;
}

TEST(PaneFieldInput, KeysArePassedOnTakenOrRefusedAndOnlyZerosAreSelectedByAClick) {
    const struct {
        const char *text, *kept;
        UniChar key;  // 0: types "7"
        session::KeyOutcome outcome;
        bool clickSelects;
    } cases[] = {
        {"00000", "", kTabCharCode, session::KeyOutcome::PassedOn, true},  // the dialog moves the focus
        {"", "\t", kTabCharCode, session::KeyOutcome::Taken, false},       // a rule keeps it: the focus stays
        {"00420", "7", 0, session::KeyOutcome::Refused, false},
        {"", "", kBackspaceCharCode, session::KeyOutcome::Refused, false},  // nothing to delete
        {"", "", kLeftArrowCharCode, session::KeyOutcome::Taken, false},    // a move is never refused
    };
    const Rect bounds{0, 0, 20, 100};
    const EventTypeSpec keyDown{kEventClassKeyboard, kEventRawKeyDown};
    for (const auto &row : cases) {
        SCOPED_TRACE(&row - cases);
        WindowRef window = nullptr;
        ControlRef field = nullptr;
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, 0, &bounds, &window), noErr);
        CreateEditUnicodeTextControl(window, &bounds, MakeString(row.text).get(), false, nullptr, &field);
        InstallEventHandler(GetControlEventTarget(field), KeepListedKeys, 1, &keyDown, const_cast<char *>(row.kept),
                            nullptr);
        EXPECT_EQ(session::SelectsWholeTextOnFocus(field, session::FocusCause::Click), row.clickSelects);
        EXPECT_TRUE(session::SelectsWholeTextOnFocus(field, session::FocusCause::Keyboard));
        EXPECT_EQ(row.key == 0 ? session::TypeFieldCharacter(field, "7") : session::PressFieldKey(field, row.key), row.outcome);
        DisposeWindow(window);
    }
}

}  // namespace
}  // namespace kvx::gtk_print
