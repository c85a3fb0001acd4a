#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

namespace {

using kvx::CFHolder;
using UUIDs = kvx::test::LiveObjectCheck;

constexpr const char *kUpperCaseText = "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2F";

CFHolder<CFUUIDRef> Parse(const char *text) {
    return CFHolder<CFUUIDRef>(CFUUIDCreateFromString(nullptr, kvx::MakeString(text).get()));
}

TEST_F(UUIDs, TextOfEitherCaseParsesToTheSameBytesAndNothingElseParses) {
    const auto lower = Parse("1b5d8f0e-2c4a-4e6b-9a1f-0c3e5d7b9a2f");
    const auto upper = Parse(kUpperCaseText);
    ASSERT_TRUE(lower && upper);
    EXPECT_TRUE(CFEqual(lower.get(), upper.get()));
    EXPECT_EQ(CFHash(lower.get()), CFHash(upper.get()));
    const CFUUIDBytes bytes = CFUUIDGetUUIDBytes(lower.get());
    EXPECT_EQ(bytes.byte0, 0x1B);
    EXPECT_EQ(bytes.byte4, 0x2C);
    EXPECT_EQ(bytes.byte15, 0x2F);
    const CFHolder<CFStringRef> text(CFUUIDCreateString(nullptr, lower.get()));
    EXPECT_EQ(kvx::ToUTF8(text.get()), kUpperCaseText);

    for (const char *bad : {"", "1B5D8F0E2C4A4E6B9A1F0C3E5D7B9A2F", "{1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2F}",
                            "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2", "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2FF",
                            "1B5D8F0E2-C4A-4E6B-9A1F-0C3E5D7B9A2F", "1B5D8F0E-2C4A-4E6B-9A1F-0C3E5D7B9A2G",
                            "1B5D8F0E-2C4A-4E6B-9A1F+0C3E5D7B9A2F"})
        EXPECT_FALSE(Parse(bad)) << '"' << bad << '"';
    EXPECT_EQ(CFUUIDCreateFromString(nullptr, nullptr), nullptr);
}

TEST_F(UUIDs, ConstantUUIDsAreInternedAndNeverLive) {
    const CFIndex liveBefore = KVXHostGetLiveObjectCount(CFUUIDGetTypeID());
    const auto constantWithLastByte = [](UInt8 last) {
        return CFUUIDGetConstantUUIDWithBytes(nullptr, 0x1B, 0x5D, 0x8F, 0x0E, 0x2C, 0x4A, 0x4E, 0x6B, 0x9A, 0x1F, 0x0C,
                                              0x3E, 0x5D, 0x7B, 0x9A, last);
    };
    const CFUUIDRef constant = constantWithLastByte(0x2F);
    EXPECT_EQ(constantWithLastByte(0x2F), constant);
    EXPECT_NE(constantWithLastByte(0x30), constant);
    EXPECT_EQ(KVXHostGetLiveObjectCount(CFUUIDGetTypeID()), liveBefore);
    CFRelease(constant);
    EXPECT_TRUE(CFEqual(constant, Parse(kUpperCaseText).get()));
    const CFHolder<CFUUIDRef> fromBytes(CFUUIDCreateFromUUIDBytes(nullptr, CFUUIDGetUUIDBytes(constant)));
    EXPECT_NE(fromBytes.get(), constant);
    EXPECT_TRUE(CFEqual(fromBytes.get(), constant));
}

TEST_F(UUIDs, RegistryCountsInstancesPerFactoryByBytesNeverBelowZero) {
    const auto factory = Parse("00000000-0000-0000-0000-0000000000A1");
    const auto sameFactory = Parse("00000000-0000-0000-0000-0000000000a1");
    const auto otherFactory = Parse("00000000-0000-0000-0000-0000000000A2");
    CFPlugInRemoveInstanceForFactory(otherFactory.get());
    CFPlugInRemoveInstanceForFactory(otherFactory.get());
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(otherFactory.get()), 0);
    CFPlugInAddInstanceForFactory(factory.get());
    CFPlugInAddInstanceForFactory(sameFactory.get());
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factory.get()), 2);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(otherFactory.get()), 0);
    CFPlugInRemoveInstanceForFactory(sameFactory.get());
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factory.get()), 1);
    CFPlugInRemoveInstanceForFactory(factory.get());
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factory.get()), 0);
    CFPlugInAddInstanceForFactory(otherFactory.get());
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(otherFactory.get()), 1) << "removals past zero left no debt";
    CFPlugInRemoveInstanceForFactory(otherFactory.get());
    CFPlugInAddInstanceForFactory(nullptr);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(nullptr), 0);
}

}  // namespace
