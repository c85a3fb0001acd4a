#include <cstdio>
#include <string>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

namespace {

using kvx::CFHolder;
using StringFormat = kvx::test::LiveObjectCheck;

template <typename... Args>
std::string Format(const char *format, Args... args) {
    const CFHolder<CFStringRef> text(CFStringCreateWithFormat(nullptr, nullptr, __CFStringMakeConstantString(format), args...));
    return kvx::ToUTF8(text.get());
}

TEST_F(StringFormat, ObjectsAppearAsTheirDescriptions) {
    const SInt32 answer = 42;
    const double half = 2.5;
    const CFHolder<CFNumberRef> integer(CFNumberCreate(nullptr, kCFNumberSInt32Type, &answer));
    const CFHolder<CFNumberRef> floating(CFNumberCreate(nullptr, kCFNumberDoubleType, &half));
    EXPECT_EQ(Format("[%@] [%@] [%@] [%@]", CFSTR("Private"), integer.get(), floating.get(), static_cast<CFTypeRef>(nullptr)),
              "[Private] [42] [2.5] [(null)]");
}

TEST_F(StringFormat, NumbersAndTextFollowTheCLibraryAtAnyWidth) {
    EXPECT_EQ(Format("%d %i %u %x %ld %lu", -7, 8, 4000000000u, 255u, -1234567890123L, 18000000000000000000UL),
              "-7 8 4000000000 ff -1234567890123 18000000000000000000");
    EXPECT_EQ(Format("%s|%c|%%|%f", "t\xC3\xA9xt", 'Q', 0.5), "t\xC3\xA9xt|Q|%|0.500000");
    EXPECT_EQ(Format("%05d|%-4d|%.2f|%*d|%.*s", 42, 7, 3.14159, 3, 9, 2, "abcdef"), "00042|7   |3.14|  9|ab");
    // Short ones and ones longer than any fixed buffer come out whole.
    char expected[512];
    for (const char *format : {"%d", "%62d", "%63d", "%64d", "%65d", "%300d", "%-200d|"}) {
        std::snprintf(expected, sizeof expected, format, -42);
        EXPECT_EQ(Format(format, -42), expected) << format;
    }
    for (const double value : {1.0 / 3.0, 1e300})
        for (const char *format : {"%f", "%.60f", "%70.3f", "%.200f"}) {
            std::snprintf(expected, sizeof expected, format, value);
            EXPECT_EQ(Format(format, value), expected) << format;
        }
}

TEST_F(StringFormat, UnknownDirectivesStayAsTextAndTakeNoArgument) {
    // If %y or %n read an argument, the 5 would not reach the %d.
    EXPECT_EQ(Format("%y %n %d", 5), "%y %n 5");
    EXPECT_EQ(Format("100%"), "100%");
    EXPECT_EQ(CFStringCreateWithFormat(nullptr, nullptr, nullptr), nullptr);
}

}  // namespace
