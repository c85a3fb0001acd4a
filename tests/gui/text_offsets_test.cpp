// Selections cross between GTK (characters) and the host (UTF-16 units).
#include <gtest/gtest.h>

#include "text_offsets.hpp"

namespace kvx::dialog {
namespace {

// "a", "é" (two UTF-8 bytes), "😀" (four bytes, two UTF-16 units), "b".
constexpr std::string_view kMixedText = "a\u00e9\U0001F600b";

TEST(WindowTextOffsets, CharactersBeyondTheBMPCountTwiceForTheHost) {
    const std::vector<std::pair<long, long>> characterToUnits{{0, 0}, {1, 1}, {2, 2}, {3, 4}, {4, 5}};
    for (const auto &[characters, units] : characterToUnits) {
        EXPECT_EQ(UTF16OffsetFromCharacter(kMixedText, characters), units) << characters;
        EXPECT_EQ(CharacterOffsetFromUTF16(kMixedText, units), characters) << units;
    }
}

TEST(WindowTextOffsets, PositionsPastTheEndStandForTheEnd) {
    EXPECT_EQ(CharacterOffsetFromUTF16(kMixedText, 99), 4);
    EXPECT_EQ(UTF16OffsetFromCharacter(kMixedText, 99), 5);
    EXPECT_EQ(CharacterOffsetFromUTF16("", 3), 0);
    EXPECT_EQ(UTF16OffsetFromCharacter("12345", 5), 5);
}

TEST(WindowTextOffsets, AUnitInsideASurrogatePairNamesItsCharacter) {
    EXPECT_EQ(CharacterOffsetFromUTF16(kMixedText, 3), 2);
    EXPECT_EQ(CharacterOffsetFromUTF16("\U0001F600\U0001F600", 1), 0);
    EXPECT_EQ(CharacterOffsetFromUTF16("\U0001F600\U0001F600", 3), 1);
}

}  // namespace
}  // namespace kvx::dialog
