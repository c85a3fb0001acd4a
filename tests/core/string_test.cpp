// Strings as the pane and the dialog use them: UTF-16 units, Mac Roman and
// UTF-8 decoding, capped mutable strings, constants and formatting.
#include <set>
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

template <typename... Args>
std::string Format(const char *format, Args... args) {
    const CFHolder<CFStringRef> text(CFStringCreateWithFormat(nullptr, nullptr, __CFStringMakeConstantString(format), args...));
    return ToUTF8(text.get());
}

TEST_F(Strings, MacRomanBytesEachDecodeToTheirOwnCharacterAndEncodeBack) {
    unsigned char pascal[256] = {255};
    for (int byte = 1; byte <= 255; ++byte) pascal[byte] = static_cast<unsigned char>(byte);
    const CFHolder<CFStringRef> decoded(CFStringCreateWithPascalString(nullptr, pascal, kCFStringEncodingMacRoman));
    const std::u16string units = Units(decoded.get());
    ASSERT_EQ(units.size(), 255u);
    const std::set<char16_t> high(units.begin() + 0x7F, units.end());
    EXPECT_EQ(high.size(), 128u);
    EXPECT_EQ(high.count(u'\uFFFD'), 0u);
    EXPECT_GE(*high.begin(), 0x80);
    EXPECT_EQ(units[0x8E - 1], u'\u00E9');  // e acute
    EXPECT_EQ(units[0xDB - 1], u'\u20AC');  // euro sign
    for (size_t index = 0; index < units.size(); ++index) {
        const CFHolder<CFStringRef> one(CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar *>(&units[index]), 1));
        char back[2] = {};
        ASSERT_TRUE(CFStringGetCString(one.get(), back, sizeof back, kCFStringEncodingMacRoman)) << index + 1;
        EXPECT_EQ(static_cast<unsigned char>(back[0]), index + 1);
    }
    // A Pascal string is read by its length byte, in UTF-8 too.
    const unsigned char utf8[] = {2, 0xC3, 0xA9, 'X'};
    EXPECT_EQ(Units(CFHolder<CFStringRef>(CFStringCreateWithPascalString(nullptr, utf8, kCFStringEncodingUTF8)).get()), u"\u00E9");
}

TEST_F(Strings, UTF8OutsideTheBasicPlaneIsTwoUnitsIllFormedUTF8MakesNoStringAndCapsNeverSplitAPair) {
    const auto text = MakeString("a\xF0\x9F\x98\x80");
    EXPECT_EQ(Units(text.get()), u"a\xD83D\xDE00");
    EXPECT_EQ(CFStringGetCharacterAtIndex(text.get(), 3), 0) << "a read past the end is harmless";
    for (const char *bad : {"bad \xC3", "\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80"})
        EXPECT_EQ(CFStringCreateWithCString(nullptr, bad, kCFStringEncodingUTF8), nullptr) << bad;

    // The pane pads its digit fields in strings capped at the field's length.
    const CFHolder<CFMutableStringRef> capped(CFStringCreateMutable(nullptr, 5));
    CFStringAppend(capped.get(), CFSTR("1234"));
    CFStringAppend(capped.get(), CFSTR("567"));
    const UniChar more[] = {'8'};
    CFStringAppendCharacters(capped.get(), more, 1);
    EXPECT_EQ(ToUTF8(capped.get()), "12345");
    const CFHolder<CFMutableStringRef> pair(CFStringCreateMutable(nullptr, 3));
    CFStringAppend(pair.get(), CFSTR("ab\xF0\x9F\x98\x80"));
    EXPECT_EQ(Units(pair.get()), u"ab");
    EXPECT_EQ(ToUTF8(CFHolder<CFMutableStringRef>(CFStringCreateMutableCopy(nullptr, 3, CFSTR("abcdef"))).get()), "abc");
}

// That comparison is literal is pane-popups.scenario's (another case, a
// trailing blank) and the printer check fuzzer's.
TEST_F(Strings, ConstantsAreOneObjectNeverFreed) {
    const CFIndex liveBefore = KVXHostGetLiveObjectCount(CFStringGetTypeID());
    const CFStringRef constant = CFSTR("kvx constant under test");
    EXPECT_EQ(CFSTR("kvx constant under test"), constant);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore);
    CFRelease(constant);
    CFRelease(constant);
    EXPECT_EQ(ToUTF8(CFSTR("kvx constant under test")), "kvx constant under test");
}

// The pane formats its digit keys as "%@%d"; the scenarios' tickets show them.
TEST_F(Strings, FormatShowsObjectsAsTheirDescriptionsAndTakesNoArgumentForAnUnknownConversion) {
    const SInt32 answer = 42;
    const CFHolder<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &answer));
    EXPECT_EQ(Format("%@|%@|%s %%", number.get(), static_cast<CFTypeRef>(nullptr), "t\xC3\xA9xt"), "42|(null)|t\xC3\xA9xt %");
    // If %y or %n took an argument, the 5 would not reach the %d.
    EXPECT_EQ(Format("%y %n %d 100%", 5), "%y %n 5 100%");
}

}  // namespace
