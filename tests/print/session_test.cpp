#include "print_fixture.hpp"

namespace {

class PrintSession : public PrintTest {
protected:
    void SetUp() override { ASSERT_EQ(KVXPrintSessionCreate(&session), noErr); }
    void TearDown() override {
        CFRelease(session);
        PrintTest::TearDown();
    }
    PMPrintSession session = nullptr;
};

TEST_F(PrintSession, KeepsDataUnderItsKeyUntilRemoved) {
    const SInt32 value = 7;
    kvx::CFHolder<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &value));
    kvx::CFHolder<CFMutableStringRef> key(CFStringCreateMutableCopy(nullptr, 0, CFSTR("Data")));
    ASSERT_EQ(PMSessionSetDataInSession(session, key.get(), number.get()), noErr);
    CFStringAppend(key.get(), CFSTR("Changed"));
    number.reset();

    CFTypeRef data = nullptr;
    ASSERT_EQ(PMSessionGetDataFromSession(session, CFSTR("Data"), &data), noErr);
    SInt32 read = 0;
    ASSERT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(data), kCFNumberSInt32Type, &read));
    EXPECT_EQ(read, value);

    ASSERT_EQ(PMSessionSetDataInSession(session, CFSTR("Data"), nullptr), noErr);
    EXPECT_EQ(PMSessionGetDataFromSession(session, CFSTR("Data"), &data), kPMKeyNotFound);
    EXPECT_EQ(data, nullptr);
}

TEST_F(PrintSession, RejectsMissingOrForeignSessionAndKey) {
    CFTypeRef data = CFSTR("untouched?");
    EXPECT_EQ(PMSessionGetDataFromSession(nullptr, CFSTR("Data"), &data), kPMInvalidParameter);
    EXPECT_EQ(data, nullptr);
    const auto notASession = reinterpret_cast<PMPrintSession>(const_cast<void *>(static_cast<const void *>(CFSTR("x"))));
    EXPECT_EQ(PMSessionGetDataFromSession(notASession, CFSTR("Data"), &data), kPMInvalidParameter);
    EXPECT_EQ(PMSessionGetDataFromSession(session, nullptr, &data), kPMInvalidParameter);
    EXPECT_EQ(PMSessionSetDataInSession(session, nullptr, CFSTR("v")), kPMInvalidParameter);
    EXPECT_EQ(PMSessionGetDataFromSession(session, CFSTR("Data"), nullptr), kPMInvalidParameter);
}

}  // namespace
