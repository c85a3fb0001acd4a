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

TEST_F(Values, RetainAndReleaseCountTheLastReleaseFreesAndACopyIsTheCallers) {
    const CFIndex liveBefore = KVXHostGetLiveObjectCount(CFStringGetTypeID());
    CFStringRef text = CFStringCreateWithCString(nullptr, "owned", kCFStringEncodingUTF8);
    EXPECT_EQ(CFGetRetainCount(text), 1);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore + 1);
    EXPECT_EQ(CFRetain(text), text);
    EXPECT_EQ(CFGetRetainCount(text), 2);
    CFRelease(text);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore + 1);
    {
        const CFHolder<CFStringRef> copy(CFStringCreateCopy(nullptr, text));
        EXPECT_TRUE(CFEqual(copy.get(), text));
    }
    EXPECT_EQ(CFGetRetainCount(text), 1);
    CFRelease(text);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore);
}

TEST_F(Values, ShowWritesTheDescriptionAndANewLine) {
    testing::internal::CaptureStderr();
    CFShow(CFSTR("shown text"));
    CFShow(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "shown text\n(null)\n");
    const CFHolder<CFStringRef> description(CFCopyDescription(kCFBooleanTrue));
    EXPECT_EQ(kvx::ToUTF8(description.get()), "true");
}

TEST_F(Values, LossyNumberConversionsSayNoAndSaturate) {
    SInt32 asSInt32 = 0;
    EXPECT_FALSE(CFNumberGetValue(Number<SInt64>(kCFNumberSInt64Type, 1LL << 40).get(), kCFNumberSInt32Type, &asSInt32));
    EXPECT_EQ(asSInt32, std::numeric_limits<SInt32>::max());
    EXPECT_FALSE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, -2.75).get(), kCFNumberSInt32Type, &asSInt32));
    EXPECT_EQ(asSInt32, -2);
    EXPECT_TRUE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, 3.0).get(), kCFNumberIntType, &asSInt32));
    EXPECT_EQ(asSInt32, 3);
    EXPECT_FALSE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, NAN).get(), kCFNumberSInt32Type, &asSInt32));
    SInt64 asSInt64 = 0;
    // 2^63 is one past the largest SInt64.
    EXPECT_FALSE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, 9223372036854775808.0).get(), kCFNumberSInt64Type,
                                  &asSInt64));
    EXPECT_EQ(asSInt64, std::numeric_limits<SInt64>::max());
    double asDouble = 0;
    EXPECT_FALSE(CFNumberGetValue(Number<SInt64>(kCFNumberSInt64Type, (1LL << 53) + 1).get(), kCFNumberDoubleType, &asDouble));
}

TEST_F(Values, EqualNumbersOfDifferentKindsAreEqual) {
    const auto integer = Number<long>(kCFNumberLongType, 3);
    const auto floating = Number<double>(kCFNumberDoubleType, 3.0);
    EXPECT_TRUE(CFEqual(integer.get(), floating.get()));
    EXPECT_EQ(CFHash(integer.get()), CFHash(floating.get()));
    EXPECT_FALSE(CFEqual(integer.get(), Number<double>(kCFNumberDoubleType, 3.5).get()));
    const int unknownType = 99;
    EXPECT_EQ(CFNumberCreate(nullptr, unknownType, &unknownType), nullptr);
}

TEST_F(Values, BooleansAreNeverFreedAndDataKeepsItsOwnCopy) {
    CFRelease(kCFBooleanTrue);
    CFRelease(kCFBooleanTrue);
    EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));
    EXPECT_FALSE(CFBooleanGetValue(kCFBooleanFalse));

    UInt8 bytes[] = {1, 2, 3, 0, 5};
    const CFHolder<CFDataRef> data(CFDataCreate(nullptr, bytes, sizeof bytes));
    bytes[0] = 9;
    ASSERT_EQ(CFDataGetLength(data.get()), 5);
    EXPECT_EQ(CFDataGetBytePtr(data.get())[0], 1);
    EXPECT_EQ(CFDataGetBytePtr(data.get())[4], 5);
    const UInt8 same[] = {1, 2, 3, 0, 5};
    const CFHolder<CFDataRef> twin(CFDataCreate(nullptr, same, sizeof same));
    EXPECT_TRUE(CFEqual(data.get(), twin.get()));
    EXPECT_EQ(CFHash(data.get()), CFHash(twin.get()));
    EXPECT_EQ(CFDataCreate(nullptr, nullptr, 3), nullptr);
}

}  // namespace
