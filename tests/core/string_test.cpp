#include <string>

#include "host_objects_test.hpp"

namespace {

using kvx::CFHolder;
using kvx::MakeString;
using kvx::ToUTF8;
using kvx::test::Units;

class StringLengths : public kvx::test::HostObjectsTest {};

TEST_F(StringLengths, CharacterOutsideTheBasicPlaneCountsTwoUnits) {
    const auto text = MakeString("a\xF0\x9F\x98\x80");  // "a" U+1F600
    ASSERT_TRUE(text);
    EXPECT_EQ(CFStringGetLength(text.get()), 3);
    EXPECT_EQ(CFStringGetCharacterAtIndex(text.get(), 1), 0xD83D);
    EXPECT_EQ(CFStringGetCharacterAtIndex(text.get(), 2), 0xDE00);
    EXPECT_EQ(ToUTF8(text.get()), "a\xF0\x9F\x98\x80");
}

TEST_F(StringLengths, ReadsOutsideTheTextAreHarmless) {
    const auto text = MakeString("ab");
    EXPECT_EQ(CFStringGetCharacterAtIndex(text.get(), 2), 0);
    EXPECT_EQ(CFStringGetCharacterAtIndex(text.get(), -1), 0);
    UniChar buffer[2] = {'x', 'x'};
    CFStringGetCharacters(text.get(), CFRange{1, 2}, buffer);
    EXPECT_EQ(buffer[0], 'x') << "a range past the end copies nothing";
}

class MutableString : public kvx::test::HostObjectsTest {};

TEST_F(MutableString, AppendsAreCutAtTheMaximumLength) {
    const CFHolder<CFMutableStringRef> text(CFStringCreateMutable(nullptr, 5));
    CFStringAppend(text.get(), CFSTR("1234"));
    CFStringAppend(text.get(), CFSTR("567"));
    EXPECT_EQ(ToUTF8(text.get()), "12345");
    const UniChar more[] = {'8'};
    CFStringAppendCharacters(text.get(), more, 1);
    CFStringAppendCString(text.get(), "9", kCFStringEncodingUTF8);
    EXPECT_EQ(ToUTF8(text.get()), "12345");
}

TEST_F(MutableString, CutAtTheLimitNeverSplitsAPair) {
    const CFHolder<CFMutableStringRef> text(CFStringCreateMutable(nullptr, 3));
    CFStringAppendCString(text.get(), "ab\xF0\x9F\x98\x80", kCFStringEncodingUTF8);
    EXPECT_EQ(Units(text.get()), u"ab");
}

TEST_F(MutableString, ZeroMaximumIsUnlimitedAndACopyTakesItsOwnLimit) {
    const CFHolder<CFMutableStringRef> unlimited(CFStringCreateMutable(nullptr, 0));
    CFStringAppendCString(unlimited.get(), std::string(1000, 'z').c_str(), kCFStringEncodingUTF8);
    EXPECT_EQ(CFStringGetLength(unlimited.get()), 1000);

    const CFHolder<CFMutableStringRef> limited(CFStringCreateMutableCopy(nullptr, 3, CFSTR("abcdef")));
    EXPECT_EQ(ToUTF8(limited.get()), "abc");
    EXPECT_EQ(CFStringCreateMutable(nullptr, -1), nullptr);
}

TEST_F(MutableString, AppendingAStringToItselfDoublesIt) {
    const CFHolder<CFMutableStringRef> text(CFStringCreateMutableCopy(nullptr, 0, CFSTR("ab")));
    CFStringAppend(text.get(), text.get());
    EXPECT_EQ(ToUTF8(text.get()), "abab");
}

class StringComparison : public kvx::test::HostObjectsTest {};

TEST_F(StringComparison, MutableAndImmutableWithEqualTextAreEqual) {
    const CFHolder<CFMutableStringRef> built(CFStringCreateMutable(nullptr, 0));
    CFStringAppend(built.get(), CFSTR("Priv"));
    CFStringAppend(built.get(), CFSTR("ate"));
    EXPECT_TRUE(CFEqual(built.get(), CFSTR("Private")));
    EXPECT_EQ(CFHash(built.get()), CFHash(CFSTR("Private")));
    EXPECT_FALSE(CFEqual(built.get(), CFSTR("private")));
}

TEST_F(StringComparison, CompareIsLiteralAndCaseSensitive) {
    EXPECT_EQ(CFStringCompare(CFSTR("Private"), CFSTR("Private"), 0), kCFCompareEqualTo);
    EXPECT_EQ(CFStringCompare(CFSTR("B"), CFSTR("a"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("ZEL"), CFSTR("ZELP"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("ZELP"), CFSTR("ZEL"), 0), kCFCompareGreaterThan);
    // By UTF-16 units: U+FF21 sorts after a surrogate pair's first unit.
    EXPECT_EQ(CFStringCompare(CFSTR("\xEF\xBC\xA1"), CFSTR("\xF0\x9F\x98\x80"), 0), kCFCompareGreaterThan);
}

class ConstantStrings : public kvx::test::HostObjectsTest {};

TEST_F(ConstantStrings, SameBytesGiveOneObjectThatIsNeverFreed) {
    const CFIndex liveBefore = KVXHostGetLiveObjectCount(CFStringGetTypeID());
    const CFStringRef first = CFSTR("kvx constant under test");
    EXPECT_EQ(CFSTR("kvx constant under test"), first);
    EXPECT_NE(CFSTR("kvx other constant"), first);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore);
    CFRelease(first);
    CFRelease(first);
    EXPECT_EQ(ToUTF8(CFSTR("kvx constant under test")), "kvx constant under test");
}

class CStrings : public kvx::test::HostObjectsTest {};

TEST_F(CStrings, CopyFailsWhenTheBufferCannotHoldTheTerminator) {
    char buffer[8];
    EXPECT_FALSE(CFStringGetCString(CFSTR("abc"), buffer, 3, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(CFStringGetCString(CFSTR("abc"), buffer, 4, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "abc");
    // Two bytes of UTF-8 for one unit.
    EXPECT_FALSE(CFStringGetCString(CFSTR("\xC3\xA9"), buffer, 2, kCFStringEncodingUTF8));
}

TEST_F(CStrings, MacRomanCopyFailsForACharacterMacRomanLacks) {
    char buffer[8];
    ASSERT_TRUE(CFStringGetCString(CFSTR("\xE2\x82\xAC\xC3\xA9"), buffer, sizeof buffer, kCFStringEncodingMacRoman));
    EXPECT_STREQ(buffer, "\xDB\x8E");  // euro sign, e acute
    EXPECT_FALSE(CFStringGetCString(CFSTR("\xE4\xB8\x80"), buffer, sizeof buffer, kCFStringEncodingMacRoman));
}

TEST_F(CStrings, IllFormedUTF8MakesNoString) {
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "bad \xC3", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "\xED\xA0\x80", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "x", 0x7777), nullptr) << "unknown encoding";
}

TEST_F(CStrings, PascalStringsDecodeMacRomanOrUTF8ByTheirLengthByte) {
    const unsigned char macRoman[] = {3, 0x8E, 't', 0xA5, 'X'};
    const CFHolder<CFStringRef> roman(CFStringCreateWithPascalString(nullptr, macRoman, kCFStringEncodingMacRoman));
    EXPECT_EQ(Units(roman.get()), u"\u00E9t\u2022");

    const unsigned char utf8[] = {2, 0xC3, 0xA9, 'X'};
    const CFHolder<CFStringRef> unicode(CFStringCreateWithPascalString(nullptr, utf8, kCFStringEncodingUTF8));
    EXPECT_EQ(Units(unicode.get()), u"\u00E9");
}

}  // namespace
