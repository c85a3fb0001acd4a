#include <set>
#include <string>

#include <gtest/gtest.h>

#include "encoding.hpp"
#include "strings.hpp"

namespace {

using kvx::host::ConvertBytes;
using kvx::host::DecodeMacRoman;
using kvx::host::EncodeMacRoman;
using kvx::host::FromUTF8;
using kvx::host::ToUTF8;

constexpr char16_t kReplacement = u'\uFFFD';

std::string AllBytesFrom(int first) {
    std::string bytes;
    for (int byte = first; byte <= 0xFF; ++byte) bytes.push_back(static_cast<char>(byte));
    return bytes;
}

TEST(MacRoman, EveryHighByteIsItsOwnNonASCIICharacter) {
    const std::u16string decoded = DecodeMacRoman(AllBytesFrom(0x80));
    ASSERT_EQ(decoded.size(), 128u);
    const std::set<char16_t> distinct(decoded.begin(), decoded.end());
    EXPECT_EQ(distinct.size(), 128u);
    EXPECT_EQ(distinct.count(kReplacement), 0u);
    EXPECT_GE(*distinct.begin(), 0x80);
    EXPECT_EQ(DecodeMacRoman("\x8E"), u"\u00E9");  // e acute
    EXPECT_EQ(DecodeMacRoman("\xA5"), u"\u2022");  // bullet
    EXPECT_EQ(DecodeMacRoman("\xDB"), u"\u20AC");  // euro sign
    EXPECT_EQ(DecodeMacRoman("\x80"), u"\u00C4");  // A diaeresis
    EXPECT_EQ(DecodeMacRoman("\xBD"), u"\u03A9");  // omega
    EXPECT_EQ(DecodeMacRoman("\xCA"), u"\u00A0");  // no-break space
    EXPECT_EQ(DecodeMacRoman(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(MacRoman, EncodingUndoesDecodingForEveryByte) {
    const std::u16string decoded = DecodeMacRoman(AllBytesFrom(0x00));
    ASSERT_EQ(decoded.size(), 256u);
    for (size_t byte = 0; byte < decoded.size(); ++byte) {
        const auto encoded = EncodeMacRoman(decoded[byte]);
        ASSERT_TRUE(encoded.has_value()) << "byte " << byte;
        EXPECT_EQ(*encoded, byte);
    }
    EXPECT_FALSE(EncodeMacRoman(u'\u4E00').has_value());
    EXPECT_FALSE(EncodeMacRoman(u'\u0100').has_value());
    EXPECT_FALSE(EncodeMacRoman(kReplacement).has_value());
}

TEST(ByteConversion, LossyReplacesWhatTheTargetLacksStrictGivesUpAndNothingCarriesOver) {
    const std::string text = "a\xE4\xB8\x80" "b\xC3\xA9";  // a, U+4E00, b, e acute
    EXPECT_EQ(ConvertBytes(text, "UTF-8", "MACINTOSH", true), std::optional<std::string>("a?b\x8E"));
    EXPECT_EQ(ConvertBytes(text, "UTF-8", "MACINTOSH", false), std::nullopt);
    // Bytes that are no UTF-8 at all are skipped one by one.
    EXPECT_EQ(ConvertBytes("x\xFF\xFEy", "UTF-8", "ISO-8859-1", true), std::optional<std::string>("x??y"));
    // A character cut off at the end.
    EXPECT_EQ(ConvertBytes("z\xE4\xB8", "UTF-8", "ISO-8859-1", true), std::optional<std::string>("z?"));
    for (int round = 0; round < 2; ++round) EXPECT_EQ(ConvertBytes("x", "NO-SUCH-CHARSET", "UTF-8", true), std::nullopt);

    // Each conversion starts unshifted, whatever a failed or cut one left:
    // "\u65E5\u672C" in ISO-2022-JP, shifted into JIS X 0208 and back.
    const std::string shifted = "\x1b$BF|K\\\x1b(B", shiftedAsUTF8 = "\xE6\x97\xA5\xE6\x9C\xAC";
    EXPECT_EQ(ConvertBytes(shifted, "ISO-2022-JP", "UTF-8", false), shiftedAsUTF8);
    EXPECT_EQ(ConvertBytes("\x1b$BF", "ISO-2022-JP", "UTF-8", false), std::nullopt);
    EXPECT_EQ(ConvertBytes("F|", "ISO-2022-JP", "UTF-8", false), "F|");
    EXPECT_EQ(ConvertBytes("\x1b$BF|", "ISO-2022-JP", "UTF-8", true), "\xE6\x97\xA5");
    EXPECT_EQ(ConvertBytes("F|", "ISO-2022-JP", "UTF-8", false), "F|");
    EXPECT_EQ(ConvertBytes(shifted, "ISO-2022-JP", "UTF-8", false), shiftedAsUTF8);
    // Out of UTF-8 into UTF-32: the lossy path probes with the same pair.
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(ConvertBytes("A\xFF" "B", "UTF-8", "UTF-32LE", true), std::string("A\0\0\0?\0\0\0B\0\0\0", 12)) << round;
}

TEST(UTF8, EachBrokenPieceBecomesOneReplacementCharacter) {
    EXPECT_EQ(FromUTF8("a\xC3" "b"), u"a\uFFFDb");
    EXPECT_EQ(FromUTF8("\xF0\x9F\x98x"), u"\uFFFDx") << "a cut four-byte sequence is one piece";
    EXPECT_EQ(FromUTF8("\xC0\xAF"), u"\uFFFD\uFFFD") << "overlong forms are refused";
    EXPECT_EQ(FromUTF8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD") << "encoded surrogates are refused";
    EXPECT_EQ(FromUTF8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD") << "beyond U+10FFFF";
    EXPECT_EQ(FromUTF8("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
    EXPECT_EQ(ToUTF8(std::u16string_view(u"\xD83D" u"a\xDE00")), "\xEF\xBF\xBD" "a\xEF\xBF\xBD")
        << "unpaired surrogates";
}

}  // namespace
