// Conversions one after another, through the same charsets, each as if it
// were the first: nothing of a failed, cut or shifted conversion carries over.
#include <gtest/gtest.h>

#include <string>

#include "encoding.hpp"

namespace {

using kvx::host::ConvertBytes;

// "日本" in ISO-2022-JP: shifted into JIS X 0208 and back to ASCII.
const std::string kShifted = "\x1b$BF|K\\\x1b(B";
const std::string kShiftedAsUTF8 = "\xE6\x97\xA5\xE6\x9C\xAC";

TEST(EncodingReuse, EachConversionStartsFromTheInitialState) {
    EXPECT_EQ(ConvertBytes(kShifted, "ISO-2022-JP", "UTF-8", false), kShiftedAsUTF8);
    // A conversion that fails while shifted leaves the next one unshifted.
    EXPECT_EQ(ConvertBytes("\x1b$BF", "ISO-2022-JP", "UTF-8", false), std::nullopt);
    EXPECT_EQ(ConvertBytes("F|", "ISO-2022-JP", "UTF-8", false), "F|");
    EXPECT_EQ(ConvertBytes("\x1b$BF|", "ISO-2022-JP", "UTF-8", true), "\xE6\x97\xA5");
    EXPECT_EQ(ConvertBytes("F|", "ISO-2022-JP", "UTF-8", false), "F|");
    EXPECT_EQ(ConvertBytes(kShifted, "ISO-2022-JP", "UTF-8", false), kShiftedAsUTF8);

    // Out of UTF-8 into UTF-32: the lossy path probes with the same pair.
    const std::string expected{"A\0\0\0?\0\0\0B\0\0\0", 12};
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(ConvertBytes("A\xFF" "B", "UTF-8", "UTF-32LE", true), expected) << round;
    EXPECT_EQ(ConvertBytes("x", "NO-SUCH-CHARSET", "UTF-8", true), std::nullopt);
    EXPECT_EQ(ConvertBytes("x", "NO-SUCH-CHARSET", "UTF-8", true), std::nullopt);
}

}  // namespace
