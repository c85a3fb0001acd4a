#include <string>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

namespace {

using kvx::CFHolder;
using kvx::MakeString;
using kvx::ToUTF8;
using Strings = kvx::test::LiveObjectCheck;

std::u16string Units(CFStringRef string) {
    std::u16string units(static_cast<size_t>(CFStringGetLength(string)), u'\0');
    CFStringGetCharacters(string, CFRange{0, CFStringGetLength(string)}, reinterpret_cast<UniChar *>(units.data()));
    return units;
}

TEST_F(Strings, CharacterOutsideTheBasicPlaneCountsTwoUnitsAndReadsPastTheEndAreHarmless) {
    const auto text = MakeString("a\xF0\x9F\x98\x80");  // "a" U+1F600
    ASSERT_TRUE(text);
    EXPECT_EQ(Units(text.get()), u"a\xD83D\xDE00");
    EXPECT_EQ(ToUTF8(text.get()), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(CFStringGetCharacterAtIndex(text.get(), 3), 0);
    EXPECT_EQ(CFStringGetCharacterAtIndex(text.get(), -1), 0);
    UniChar buffer[2] = {'x', 'x'};
    CFStringGetCharacters(text.get(), CFRange{2, 2}, buffer);
    EXPECT_EQ(buffer[0], 'x') << "a range past the end copies nothing";
}

TEST_F(Strings, MutableAppendsAreCutAtTheMaximumLengthNeverSplittingAPair) {
    const CFHolder<CFMutableStringRef> text(CFStringCreateMutable(nullptr, 5));
    CFStringAppend(text.get(), CFSTR("1234"));
    CFStringAppend(text.get(), CFSTR("567"));
    const UniChar more[] = {'8'};
    CFStringAppendCharacters(text.get(), more, 1);
    CFStringAppendCString(text.get(), "9", kCFStringEncodingUTF8);
    EXPECT_EQ(ToUTF8(text.get()), "12345");

    const CFHolder<CFMutableStringRef> pair(CFStringCreateMutable(nullptr, 3));
    CFStringAppendCString(pair.get(), "ab\xF0\x9F\x98\x80", kCFStringEncodingUTF8);
    EXPECT_EQ(Units(pair.get()), u"ab");

    const CFHolder<CFMutableStringRef> unlimited(CFStringCreateMutable(nullptr, 0));
    CFStringAppendCString(unlimited.get(), std::string(1000, 'z').c_str(), kCFStringEncodingUTF8);
    EXPECT_EQ(CFStringGetLength(unlimited.get()), 1000);
    const CFHolder<CFMutableStringRef> limited(CFStringCreateMutableCopy(nullptr, 3, CFSTR("abcdef")));
    EXPECT_EQ(ToUTF8(limited.get()), "abc");
    EXPECT_EQ(CFStringCreateMutable(nullptr, -1), nullptr);

    const CFHolder<CFMutableStringRef> doubled(CFStringCreateMutableCopy(nullptr, 0, CFSTR("ab")));
    CFStringAppend(doubled.get(), doubled.get());
    EXPECT_EQ(ToUTF8(doubled.get()), "abab");
}

TEST_F(Strings, EqualityAndCompareAreLiteralAndCaseSensitive) {
    const CFHolder<CFMutableStringRef> built(CFStringCreateMutable(nullptr, 0));
    CFStringAppend(built.get(), CFSTR("Priv"));
    CFStringAppend(built.get(), CFSTR("ate"));
    EXPECT_TRUE(CFEqual(built.get(), CFSTR("Private")));
    EXPECT_EQ(CFHash(built.get()), CFHash(CFSTR("Private")));
    EXPECT_FALSE(CFEqual(built.get(), CFSTR("private")));

    EXPECT_EQ(CFStringCompare(CFSTR("Private"), CFSTR("Private"), 0), kCFCompareEqualTo);
    EXPECT_EQ(CFStringCompare(CFSTR("B"), CFSTR("a"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("ZEL"), CFSTR("ZELP"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("ZELP"), CFSTR("ZEL"), 0), kCFCompareGreaterThan);
    // By UTF-16 units: U+FF21 sorts after a surrogate pair's first unit.
    EXPECT_EQ(CFStringCompare(CFSTR("\xEF\xBC\xA1"), CFSTR("\xF0\x9F\x98\x80"), 0), kCFCompareGreaterThan);
}

TEST_F(Strings, ConstantsWithTheSameBytesAreOneObjectNeverFreed) {
    const CFIndex liveBefore = KVXHostGetLiveObjectCount(CFStringGetTypeID());
    const CFStringRef first = CFSTR("kvx constant under test");
    EXPECT_EQ(CFSTR("kvx constant under test"), first);
    EXPECT_NE(CFSTR("kvx other constant"), first);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore);
    CFRelease(first);
    CFRelease(first);
    EXPECT_EQ(ToUTF8(CFSTR("kvx constant under test")), "kvx constant under test");
}

TEST_F(Strings, CStringCopiesFailWhenTheBufferOrTheEncodingCannotHoldTheText) {
    char buffer[8];
    EXPECT_FALSE(CFStringGetCString(CFSTR("abc"), buffer, 3, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(CFStringGetCString(CFSTR("abc"), buffer, 4, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(CFStringGetCString(CFSTR("\xC3\xA9"), buffer, 2, kCFStringEncodingUTF8)) << "two bytes, one unit";
    ASSERT_TRUE(CFStringGetCString(CFSTR("\xE2\x82\xAC\xC3\xA9"), buffer, sizeof buffer, kCFStringEncodingMacRoman));
    EXPECT_STREQ(buffer, "\xDB\x8E");  // euro sign, e acute
    EXPECT_FALSE(CFStringGetCString(CFSTR("\xE4\xB8\x80"), buffer, sizeof buffer, kCFStringEncodingMacRoman));
}

TEST_F(Strings, IllFormedUTF8MakesNoStringAndPascalStringsDecodeByTheirLengthByte) {
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "bad \xC3", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "\xED\xA0\x80", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "x", 0x7777), nullptr) << "unknown encoding";

    const unsigned char macRoman[] = {3, 0x8E, 't', 0xA5, 'X'};
    const CFHolder<CFStringRef> roman(CFStringCreateWithPascalString(nullptr, macRoman, kCFStringEncodingMacRoman));
    EXPECT_EQ(Units(roman.get()), u"\u00E9t\u2022");
    const unsigned char utf8[] = {2, 0xC3, 0xA9, 'X'};
    const CFHolder<CFStringRef> unicode(CFStringCreateWithPascalString(nullptr, utf8, kCFStringEncodingUTF8));
    EXPECT_EQ(Units(unicode.get()), u"\u00E9");
}

}  // namespace
