// Mac Roman and UTF-8 as the string functions see them.
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "KVXHostSupport.hpp"

namespace {

using kvx::CFHolder;

constexpr char16_t kReplacement = u'\uFFFD';

std::u16string UnitsOf(CFStringRef string) {
    std::u16string units(static_cast<size_t>(CFStringGetLength(string)), u'\0');
    CFStringGetCharacters(string, CFRange{0, CFStringGetLength(string)}, reinterpret_cast<UniChar *>(units.data()));
    return units;
}

std::u16string DecodeMacRoman(const std::string &bytes) {
    std::basic_string<unsigned char> pascal(1, static_cast<unsigned char>(bytes.size()));
    pascal.append(bytes.begin(), bytes.end());
    const CFHolder<CFStringRef> string(CFStringCreateWithPascalString(nullptr, pascal.c_str(), kCFStringEncodingMacRoman));
    return string ? UnitsOf(string.get()) : u"<null>";
}

// The bytes of units in the encoding, or "<none>" when the string has none.
std::string Encode(std::u16string_view units, CFStringEncoding encoding) {
    const CFHolder<CFStringRef> string(
        CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar *>(units.data()), CFIndex(units.size())));
    char buffer[1024];
    return CFStringGetCString(string.get(), buffer, sizeof buffer, encoding) ? buffer : "<none>";
}

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
    const std::u16string decoded = DecodeMacRoman(AllBytesFrom(0x01));
    ASSERT_EQ(decoded.size(), 255u);
    for (size_t index = 0; index < decoded.size(); ++index)
        EXPECT_EQ(Encode(decoded.substr(index, 1), kCFStringEncodingMacRoman), std::string(1, char(index + 1)))
            << "byte " << index + 1;
    EXPECT_EQ(Encode(u"a\u4E00", kCFStringEncodingMacRoman), "<none>");
    EXPECT_EQ(Encode(u"\u0100", kCFStringEncodingMacRoman), "<none>");
    EXPECT_EQ(Encode(std::u16string(1, kReplacement), kCFStringEncodingMacRoman), "<none>");
}

TEST(UTF8, EachBrokenPieceOfAConstantBecomesOneReplacementCharacter) {
    EXPECT_EQ(UnitsOf(CFSTR("a\xC3" "b")), u"a\uFFFDb");
    EXPECT_EQ(UnitsOf(CFSTR("\xF0\x9F\x98x")), u"\uFFFDx") << "a cut four-byte sequence is one piece";
    EXPECT_EQ(UnitsOf(CFSTR("\xC0\xAF")), u"\uFFFD\uFFFD") << "overlong forms are refused";
    EXPECT_EQ(UnitsOf(CFSTR("\xED\xA0\x80")), u"\uFFFD\uFFFD\uFFFD") << "encoded surrogates are refused";
    EXPECT_EQ(UnitsOf(CFSTR("\xF4\x90\x80\x80")), u"\uFFFD\uFFFD\uFFFD\uFFFD") << "beyond U+10FFFF";
    EXPECT_EQ(UnitsOf(CFSTR("\xF4\x8F\xBF\xBF")), u"\U0010FFFF");
    EXPECT_EQ(Encode(u"\xD83D" u"a\xDE00", kCFStringEncodingUTF8), "\xEF\xBF\xBD" "a\xEF\xBF\xBD")
        << "unpaired surrogates";
}

}  // namespace
