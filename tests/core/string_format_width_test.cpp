// Numbers of every width: short ones and ones longer than any fixed buffer
// come out exactly as the C library writes them.
#include <cstdio>
#include <string>

#include "host_objects_test.hpp"

namespace {

using FormatWidth = kvx::test::HostObjectsTest;

template <typename Value>
void ExpectLikeTheCLibrary(const char *format, Value value) {
    char expected[512];
    std::snprintf(expected, sizeof expected, format, value);
    const kvx::CFHolder<CFStringRef> text(
        CFStringCreateWithFormat(nullptr, nullptr, __CFStringMakeConstantString(format), value));
    EXPECT_EQ(kvx::ToUTF8(text.get()), expected) << format;
}

TEST_F(FormatWidth, AnyWidthComesOutWhole) {
    for (const char *format : {"%d", "%62d", "%63d", "%64d", "%65d", "%300d", "%-200d|"}) ExpectLikeTheCLibrary(format, -42);
    for (const char *format : {"%f", "%.60f", "%70.3f", "%.200f"}) ExpectLikeTheCLibrary(format, 1.0 / 3.0);
    ExpectLikeTheCLibrary("%f", 1e300);
}

}  // namespace
