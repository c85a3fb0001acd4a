// Ten thousand full pane lifecycles in one process, the plug-in loaded once:
// every lifecycle gives back every host object it made, and resident memory
// after the last is within 1 MiB of what it was after the hundredth.
#include <unistd.h>

#include <fstream>
#include <string>

#include "pane_harness.hpp"

#ifndef KVX_SOAK_LIFECYCLES
#define KVX_SOAK_LIFECYCLES 10000
#endif

// The sanitizers' quarantine and shadow memory make resident size say
// nothing about the pane: their build runs fewer lifecycles and skips it.
#ifdef KVX_SOAK_SKIP_RSS
constexpr bool kCheckResidentMemory = false;
#else
constexpr bool kCheckResidentMemory = true;
#endif

namespace kvx::test {
namespace {

constexpr int kLifecycles = KVX_SOAK_LIFECYCLES;
constexpr int kWarmLifecycles = 100;
constexpr long kAllowedGrowth = 1024 * 1024;

long ResidentBytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

class Soak : public PaneTest {
protected:
    // One pane from Prologue to Terminate in a dialog window of its own, with
    // the choices, typing, syncs and summaries of a user between.
    void Lifecycle(int round) {
        ASSERT_NO_FATAL_FAILURE(OpenDialog());
        ASSERT_EQ(Prologue(), noErr);
        ASSERT_EQ(Initialize(), noErr);
        Choose(kPrintModeID, kPrivate);
        KVXRunLoopRunOnce();
        Select(kDINID, 0, 5);
        Type(kDINID, std::u16string(1, static_cast<char16_t>(u'0' + round % 10)) + u"42x");
        ASSERT_EQ(GetSummary().status, noErr);
        Choose(kDepartmentID, kSwitchOn);
        KVXRunLoopRunOnce();
        Select(kDCID, 0, 5);
        Type(kDCID, u"305");
        ASSERT_EQ(SyncToTicket(), noErr);
        Choose(kPrintModeID, round % 5 + 1);
        ASSERT_EQ(SyncFromTicket(), noErr);
        ASSERT_EQ(GetSummary().status, noErr);
        ASSERT_EQ(Terminate(), noErr);
        CloseDialog();
        title_.reset();
    }
};

TEST_F(Soak, LifecyclesGiveBackEveryObjectAndMemoryLevelsOff) {
    ASSERT_NO_FATAL_FAILURE(Load());
    ASSERT_NO_FATAL_FAILURE(OpenSession());
    // The ticket holds every pane key from the start, so that the first sync
    // replaces values as every later one does instead of adding entries.
    CFDictionarySetValue(PPDDict(), CFSTR("PrintMode"), CFSTR("Normal"));
    CFDictionarySetValue(PPDDict(), CFSTR("DeptCode"), CFSTR("False"));
    CFDictionarySetValue(PPDDict(), CFSTR("ZELOrientation"), CFSTR("Portrait"));
    for (int digit = 1; digit <= 5; ++digit) {
        SetTicketValue("DINDigit" + std::to_string(digit), "0");
        SetTicketValue("DCDigit" + std::to_string(digit), "0");
    }
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    long residentAfterWarmUp = 0;
    for (int round = 1; round <= kLifecycles; ++round) {
        ASSERT_NO_FATAL_FAILURE(Lifecycle(round)) << "lifecycle " << round;
        ASSERT_EQ(KVXHostGetLiveObjectCount(0), liveAtStart) << "after lifecycle " << round;
        if (round == kWarmLifecycles) residentAfterWarmUp = ResidentBytes();
    }
    // The typing reached the fields: the last lifecycle's DIN is in the ticket.
    std::string din;
    for (int digit = 1; digit <= 5; ++digit) din += TicketValue("DINDigit" + std::to_string(digit));
    EXPECT_EQ(din, "00" + std::to_string(kLifecycles % 10) + "42");
    EXPECT_EQ(TicketValue("DCDigit3"), "3");
    if (kCheckResidentMemory) {
        const long growth = ResidentBytes() - residentAfterWarmUp;
        EXPECT_LE(growth, kAllowedGrowth) << "resident memory grew by " << growth << " bytes";
    }
}

}  // namespace
}  // namespace kvx::test
