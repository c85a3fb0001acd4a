#include "print_fixture.hpp"

namespace {

using Tickets = PrintTest;

// Reads a handle back as the pane does: the session's number as SInt32.
PMTicketRef TicketFromSession(PMPrintSession session, CFStringRef name) {
    CFTypeRef number = nullptr;
    SInt32 handle = 0;
    if (PMSessionGetDataFromSession(session, name, &number) == noErr)
        CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberSInt32Type, &handle);
    return static_cast<PMTicketRef>(handle);
}

TEST_F(Tickets, HandleSurvivesTheSessionsThirtyTwoBitNumber) {
    PMPrintSession session = nullptr;
    ASSERT_EQ(KVXPrintSessionCreate(&session), noErr);
    const PMTicketRef settings = KVXTicketCreatePrintSettings();
    const PMTicketRef printerInfo = KVXTicketCreatePrinterInfo("/nowhere/printer.ppd");
    ASSERT_EQ(KVXSessionSetTicket(session, CFSTR(kPDE_PMPrintSettingsRef), settings), noErr);
    ASSERT_EQ(KVXSessionSetTicket(session, CFSTR(kPDE_PMPrinterInfoRef), printerInfo), noErr);
    EXPECT_EQ(TicketFromSession(session, CFSTR(kPDE_PMPrintSettingsRef)), settings);
    EXPECT_EQ(TicketFromSession(session, CFSTR(kPDE_PMPrinterInfoRef)), printerInfo);
    CFRelease(session);
    KVXTicketRelease(settings);
    KVXTicketRelease(printerInfo);
}

TEST_F(Tickets, PPDDictIsOneMutableDictionaryOfThePrintSettingsTicketOnly) {
    const PMTicketRef settings = KVXTicketCreatePrintSettings();
    const PMTicketRef printerInfo = KVXTicketCreatePrinterInfo("/nowhere/printer.ppd");
    CFMutableDictionaryRef first = nullptr;
    CFMutableDictionaryRef second = nullptr;
    ASSERT_EQ(PMTicketGetPPDDict(settings, 0, 0, &first), noErr);
    CFDictionarySetValue(first, CFSTR("PrintMode"), CFSTR("Private"));
    ASSERT_EQ(PMTicketGetPPDDict(settings, 0, 0, &second), noErr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(CFDictionaryGetValue(second, CFSTR("PrintMode")), CFSTR("Private"));

    CFMutableDictionaryRef untouched = nullptr;
    EXPECT_EQ(PMTicketGetPPDDict(settings, 1, 0, &untouched), kPMInvalidParameter);
    EXPECT_EQ(PMTicketGetPPDDict(settings, 0, 1, &untouched), kPMInvalidParameter);
    EXPECT_EQ(PMTicketGetPPDDict(printerInfo, 0, 0, &untouched), kPMInvalidTicket);
    EXPECT_EQ(PMTicketGetPPDDict(0, 0, 0, &untouched), kPMInvalidTicket);
    EXPECT_EQ(untouched, nullptr);
    EXPECT_EQ(KVXTicketCreatePrinterInfo(nullptr), 0u);
    KVXTicketRelease(settings);
    KVXTicketRelease(printerInfo);
}

TEST_F(Tickets, ReleasedHandleIsDeadAndNeverReused) {
    const CFIndex liveTickets = KVXHostGetLiveObjectCount(KVXTicketGetTypeID());
    const PMTicketRef released = KVXTicketCreatePrintSettings();
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXTicketGetTypeID()), liveTickets + 1);
    KVXTicketRelease(released);
    KVXTicketRelease(released);
    EXPECT_EQ(KVXHostGetLiveObjectCount(KVXTicketGetTypeID()), liveTickets);

    const PMTicketRef next = KVXTicketCreatePrintSettings();
    EXPECT_NE(next, released);
    CFMutableDictionaryRef dict = nullptr;
    EXPECT_EQ(PMTicketGetPPDDict(released, 0, 0, &dict), kPMInvalidTicket);
    KVXTicketRelease(next);
}

}  // namespace
