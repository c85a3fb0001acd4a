// Object lifetimes, numbers, UUIDs, and the dictionaries that hold them.
#include <cmath>
#include <limits>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

namespace {

using kvx::CFHolder;
using kvx::MakeString;
using Values = kvx::test::LiveObjectCheck;
using Collections = kvx::test::LiveObjectCheck;

template <typename T>
CFHolder<CFNumberRef> Number(CFNumberType type, T value) {
    return CFHolder<CFNumberRef>(CFNumberCreate(nullptr, type, &value));
}

// CFShow's echo of the model name is hostile.scenario's.
TEST_F(Values, TheLastReleaseFreesACopyIsTheCallers) {
    const CFIndex liveBefore = KVXHostGetLiveObjectCount(CFStringGetTypeID());
    CFStringRef text = CFStringCreateWithCString(nullptr, "owned", kCFStringEncodingUTF8);
    EXPECT_EQ(CFRetain(text), text);
    CFRelease(text);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore + 1);
    CFRelease(text);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFStringGetTypeID()), liveBefore);

    CFRelease(kCFBooleanTrue);
    EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue)) << "booleans are never freed";
}

// The dialog reports a ticket's number as an integer when it reads as one
// without loss, else as a real.
TEST_F(Values, LossyNumberConversionsSayNoAndSaturateAndEqualNumbersOfAnyKindAreEqual) {
    SInt32 asSInt32 = 0;
    SInt64 asSInt64 = 0;
    EXPECT_FALSE(CFNumberGetValue(Number<SInt64>(kCFNumberSInt64Type, 1LL << 40).get(), kCFNumberSInt32Type, &asSInt32));
    EXPECT_EQ(asSInt32, std::numeric_limits<SInt32>::max());
    EXPECT_FALSE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, -2.75).get(), kCFNumberSInt64Type, &asSInt64));
    EXPECT_FALSE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, NAN).get(), kCFNumberSInt64Type, &asSInt64));
    EXPECT_TRUE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, 3.0).get(), kCFNumberSInt64Type, &asSInt64));
    EXPECT_EQ(asSInt64, 3);
    EXPECT_FALSE(CFNumberGetValue(Number<double>(kCFNumberDoubleType, 9223372036854775808.0).get(), kCFNumberSInt64Type, &asSInt64));
    EXPECT_EQ(asSInt64, std::numeric_limits<SInt64>::max());
    EXPECT_TRUE(CFEqual(Number<long>(kCFNumberLongType, 3).get(), Number<double>(kCFNumberDoubleType, 3.0).get()));
    EXPECT_FALSE(CFEqual(Number<long>(kCFNumberLongType, 3).get(), Number<double>(kCFNumberDoubleType, 3.5).get()));
}

// Either case parsing alike is plugin_loader_test's (lower-case UUIDs).
TEST_F(Values, UUIDTextOfAnyOtherFormDoesNotParse) {
    for (const char *bad : {"", "1B5D8F0E2C4A4E6B9A1F0C3E5D7B9A2F", "{1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2F}",
                            "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2", "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2FF",
                            "1B5D8F0E2-C4A-4E6B-9A1F-0C3E5D7B9A2F", "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2G"})
        EXPECT_FALSE(CFHolder<CFUUIDRef>(CFUUIDCreateFromString(nullptr, MakeString(bad).get()))) << '"' << bad << '"';
}

// The dialog's ticket report lists a dictionary in insertion order; the
// scenarios' ticket reports prove that order.
TEST_F(Collections, DictionariesFindKeysByEqualTextAndReleaseWhatTheyNoLongerHold) {
    const CFHolder<CFMutableDictionaryRef> dictionary(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    const auto key = MakeString("DeptCode");
    const auto oldValue = MakeString("False");
    const auto newValue = MakeString("True");
    CFDictionarySetValue(dictionary.get(), key.get(), oldValue.get());
    CFDictionarySetValue(dictionary.get(), CFSTR("PrintMode"), CFSTR("Private"));
    CFDictionarySetValue(dictionary.get(), MakeString("DeptCode").get(), newValue.get());
    EXPECT_EQ(CFGetRetainCount(oldValue.get()), 1) << "the replaced value was released";
    EXPECT_EQ(CFGetRetainCount(key.get()), 2) << "the first key stays";
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), key.get()), newValue.get());
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), MakeString("PrintMode").get()), CFSTR("Private"));

    // Setting the value it already holds, its only owner, keeps it alive.
    CFStringRef sole = CFStringCreateWithCString(nullptr, "sole", kCFStringEncodingUTF8);
    CFDictionarySetValue(dictionary.get(), CFSTR("key"), sole);
    CFRelease(sole);
    CFDictionarySetValue(dictionary.get(), CFSTR("key"), sole);
    EXPECT_EQ(kvx::ToUTF8(static_cast<CFStringRef>(CFDictionaryGetValue(dictionary.get(), CFSTR("key")))), "sole");
    CFDictionaryRemoveAllValues(dictionary.get());
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
}

}  // namespace
