// Object lifetimes, numbers, booleans and UUIDs.
#include <cmath>
#include <limits>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

namespace {

using kvx::CFHolder;
using Values = kvx::test::LiveObjectCheck;

template <typename T>
CFHolder<CFNumberRef> Number(CFNumberType type, T value) {
    return CFHolder<CFNumberRef>(CFNumberCreate(nullptr, type, &value));
}

CFHolder<CFUUIDRef> Parse(const char *text) {
    return CFHolder<CFUUIDRef>(CFUUIDCreateFromString(nullptr, kvx::MakeString(text).get()));
}

TEST_F(Values, TheLastReleaseFreesACopyIsTheCallersAndShowWritesTheDescription) {
    const CFIndex liveBefore = KVXHostGetLiveObjectCount(CFStringGetTypeID());
    CFStringRef text = CFStringCreateWithCString(nullptr, "owned", kCFStringEncodingUTF8);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore + 1);
    EXPECT_EQ(CFRetain(text), text);
    CFRelease(text);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore + 1);
    EXPECT_TRUE(CFEqual(CFHolder<CFStringRef>(CFStringCreateCopy(nullptr, text)).get(), text));
    CFRelease(text);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore);

    CFRelease(kCFBooleanTrue);
    EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue)) << "booleans are never freed";
    testing::internal::CaptureStderr();
    CFShow(CFSTR("shown text"));
    CFShow(kCFBooleanFalse);
    CFShow(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "shown text\nfalse\n(null)\n");
}

TEST_F(Values, LossyNumberConversionsSayNoAndSaturateAndEqualNumbersOfAnyKindAreEqual) {
    SInt32 asSInt32 = 0;
    EXPECT_FALSE(CFNumberGetValue(Number<SInt64>(kCFNumberSInt64Type, 1LL << 40).get(), kCFNumberSInt32Type, &asSInt32));
    EXPECT_EQ(asSInt32, std::numeric_limits<SInt32>::max());
    EXPECT_FALSE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, -2.75).get(), kCFNumberSInt32Type, &asSInt32));
    EXPECT_EQ(asSInt32, -2);
    EXPECT_FALSE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, NAN).get(), kCFNumberSInt32Type, &asSInt32));
    EXPECT_TRUE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, 3.0).get(), kCFNumberIntType, &asSInt32));
    EXPECT_EQ(asSInt32, 3);
    SInt64 asSInt64 = 0;
    EXPECT_FALSE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, 9223372036854775808.0).get(), kCFNumberSInt64Type, &asSInt64));
    EXPECT_EQ(asSInt64, std::numeric_limits<SInt64>::max());

    EXPECT_TRUE(CFEqual(Number<long>(kCFNumberLongType, 3).get(), Number<double>(kCFNumberDoubleType, 3.0).get()));
    EXPECT_FALSE(CFEqual(Number<long>(kCFNumberLongType, 3).get(), Number<double>(kCFNumberDoubleType, 3.5).get()));
    const int unknownType = 99;
    EXPECT_EQ(CFNumberCreate(nullptr, unknownType, &unknownType), nullptr);
}

TEST_F(Values, UUIDTextOfEitherCaseParsesToTheSameBytesAndNothingElseParses) {
    const auto lower = Parse("1b5d8f0e-2c4a-4e6b-9a1f-0c3e5d7b9a2f");
    const auto upper = Parse("1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2F");
    ASSERT_TRUE(lower && upper);
    EXPECT_TRUE(CFEqual(lower.get(), upper.get()));
    const CFUUIDBytes bytes = CFUUIDGetUUIDBytes(lower.get());
    EXPECT_EQ(bytes.byte0, 0x1B);
    EXPECT_EQ(bytes.byte4, 0x2C);
    EXPECT_EQ(bytes.byte15, 0x2F);
    EXPECT_TRUE(CFEqual(CFHolder<CFUUIDRef>(CFUUIDCreateFromUUIDBytes(nullptr, bytes)).get(), upper.get()));
    for (const char *bad : {"", "1B5D8F0E2C4A4E6B9A1F0C3E5D7B9A2F", "{1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2F}",
                            "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2", "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2FF",
                            "1B5D8F0E2-C4A-4E6B-9A1F-0C3E5D7B9A2F", "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2G"})
        EXPECT_FALSE(Parse(bad)) << '"' << bad << '"';
}

}  // namespace
