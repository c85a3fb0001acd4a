// Print sessions and tickets as the pane reaches them: the ticket's handle
// read back as the session's 32-bit number, one PPD dictionary per
// print-settings ticket, and handles that are never given out twice.
#include <utility>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"

namespace {

class Session : public kvx::test::LiveObjectCheck {
protected:
    void SetUp() override {
        LiveObjectCheck::SetUp();
        ASSERT_EQ(KVXPrintSessionCreate(&session), noErr);
        settings = KVXTicketCreatePrintSettings();
        printerInfo = KVXTicketCreatePrinterInfo("/nowhere/printer.ppd");
    }
    void TearDown() override {
        CFRelease(session);
        KVXTicketRelease(settings);
        KVXTicketRelease(printerInfo);
        LiveObjectCheck::TearDown();
    }
    PMPrintSession session = nullptr;
    PMTicketRef settings = 0;
    PMTicketRef printerInfo = 0;
};

// Null arguments and nonzero flags, which the pane never passes, are left out.
TEST_F(Session, TicketHandlesSurviveTheSessionsThirtyTwoBitNumberAndAMissingKeyFails) {
    ASSERT_EQ(KVXSessionSetTicket(session, CFSTR(kPDE_PMPrintSettingsRef), settings), noErr);
    ASSERT_EQ(KVXSessionSetTicket(session, CFSTR(kPDE_PMPrinterInfoRef), printerInfo), noErr);
    for (const auto &[name, ticket] : {std::pair{CFSTR(kPDE_PMPrintSettingsRef), settings}, {CFSTR(kPDE_PMPrinterInfoRef), printerInfo}}) {
        CFTypeRef number = nullptr;
        SInt32 handle = 0;
        ASSERT_EQ(PMSessionGetDataFromSession(session, name, &number), noErr);
        ASSERT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberSInt32Type, &handle));
        EXPECT_EQ(static_cast<PMTicketRef>(handle), ticket);
    }
    CFTypeRef data = CFSTR("untouched?");
    EXPECT_EQ(PMSessionGetDataFromSession(session, CFSTR("Data"), &data), kPMKeyNotFound);
    EXPECT_EQ(data, nullptr);
}

TEST_F(Session, PPDDictIsOneMutableDictionaryOfALivePrintSettingsTicketOnly) {
    CFMutableDictionaryRef first = nullptr;
    CFMutableDictionaryRef second = nullptr;
    ASSERT_EQ(PMTicketGetPPDDict(settings, 0, 0, &first), noErr);
    CFDictionarySetValue(first, CFSTR("PrintMode"), CFSTR("Private"));
    ASSERT_EQ(PMTicketGetPPDDict(settings, 0, 0, &second), noErr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(CFDictionaryGetValue(second, CFSTR("PrintMode")), CFSTR("Private"));

    CFMutableDictionaryRef untouched = nullptr;
    EXPECT_EQ(PMTicketGetPPDDict(printerInfo, 0, 0, &untouched), kPMInvalidTicket);
    EXPECT_EQ(PMTicketGetPPDDict(0, 0, 0, &untouched), kPMInvalidTicket);
    EXPECT_EQ(untouched, nullptr);
    EXPECT_EQ(KVXTicketCreatePrinterInfo(nullptr), 0u);

    // A released handle is dead and never given out again.
    const PMTicketRef released = KVXTicketCreatePrintSettings();
    KVXTicketRelease(released);
    KVXTicketRelease(released);
    const PMTicketRef next = KVXTicketCreatePrintSettings();
    EXPECT_NE(next, released);
    EXPECT_EQ(PMTicketGetPPDDict(released, 0, 0, &untouched), kPMInvalidTicket);
    KVXTicketRelease(next);
}

}  // namespace
