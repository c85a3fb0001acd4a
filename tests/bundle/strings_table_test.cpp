// The .strings parser: what a valid table reads as in each encoding. Each
// malformed form is a strings fuzz seed named refused-lineN-*, which that
// replay requires to be refused naming line N.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

namespace {

using kvx::CFHolder;

struct Parsed {
    CFHolder<CFDictionaryRef> table;
    CFHolder<CFStringRef> error;
};

Parsed Parse(std::string_view bytes) {
    Parsed parsed;
    parsed.table.reset(KVXStringsTableCreateFromData(reinterpret_cast<const UInt8 *>(bytes.data()),
                                                     static_cast<CFIndex>(bytes.size()), parsed.error.out()));
    return parsed;
}

std::string UTF16Bytes(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text)
        bytes += bigEndian ? std::string{char(unit >> 8), char(unit & 0xFF)} : std::string{char(unit & 0xFF), char(unit >> 8)};
    return bytes;
}

class StringsTable : public kvx::test::LiveObjectCheck {};

// Comments, blanks and every escape are hostile.scenario's, read from the
// bundle's own table into the summary's row titles.
TEST_F(StringsTable, ReadsEveryEncodingWithItsByteOrderMarkAndAFileOfCommentsAlone) {
    const std::u16string text = u"/* \u00fcber */ \"Gr\u00fc\u00dfe\" = \"\u65e5\u672c \U0001F600\";\n";
    const struct {
        const char *name;
        std::string bytes;
    } encodings[] = {
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF/* \xC3\xBC" "ber */ \"Gr\xC3\xBC\xC3\x9F" "e\" = \"\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80\";\n"},
        {"UTF-16 LE", UTF16Bytes(text, false)},
        {"UTF-16 BE", UTF16Bytes(text, true)},
    };
    for (const auto &encoding : encodings) {
        const Parsed parsed = Parse(encoding.bytes);
        ASSERT_TRUE(parsed.table) << encoding.name << ": " << kvx::ToUTF8(parsed.error.get());
        const auto value = CFDictionaryGetValue(parsed.table.get(), kvx::MakeString("Gr\xC3\xBC\xC3\x9F" "e").get());
        EXPECT_EQ(kvx::ToUTF8(static_cast<CFStringRef>(value)), "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80") << encoding.name;
    }
    const Parsed empty = Parse("  /* nothing */ // here");
    ASSERT_TRUE(empty.table);
    EXPECT_EQ(CFDictionaryGetCount(empty.table.get()), 0);
}

}  // namespace
