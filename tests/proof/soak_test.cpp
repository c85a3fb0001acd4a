// Ten thousand full pane lifecycles in one process, each a dialog of its own
// on the one pane driver with a user's choices, typing, syncs and reports:
// every lifecycle gives back every host object it made, and resident memory
// after the last is within 1 MiB of what it was after the hundredth.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "dialog/script/pane_driver.hpp"

namespace kvx::test {
namespace {

constexpr int kWarmLifecycles = 100;
constexpr long kAllowedGrowth = 1024 * 1024;

long ResidentBytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// One dialog from the plug-in's loading to OK; returns its last report, the ticket.
std::string Lifecycle(int round) {
    dialog::Options options;
    options.ppdPath = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";
    options.plugInsFolder = KVX_PLUGINS_DIR;
    std::ostringstream reports;
    dialog::PaneDriver driver(options, reports);
    std::istringstream script("choose print-mode 3\nselect din 0 5\ntype din " + std::to_string(round % 10) +
                              "42x\nsummary\nchoose department On\nsettext dc 3\nselect dc 0 5\ntype dc 3056\n"
                              "key dc backspace\nsync to-ticket\n"
                              "choose print-mode " + std::to_string(round % 5 + 1) +
                              "\nsync from-ticket\nsummary\nshow\nok\nticket\n");
    driver.RunScript(script);
    const std::string text = reports.str();
    return text.substr(text.rfind('\n', text.size() - 2) + 1);
}

// Runs under valgrind and the sanitizers give a smaller count in
// KVX_SOAK_LIFECYCLES: their own memory makes resident size say nothing
// about the pane, so only the full run checks it.
TEST(Soak, LifecyclesGiveBackEveryObjectAndMemoryLevelsOff) {
    const char *count = std::getenv("KVX_SOAK_LIFECYCLES");
    const int lifecycles = count != nullptr ? std::atoi(count) : 10000;
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    long residentAfterWarmUp = 0;
    std::string ticket;
    for (int round = 1; round <= lifecycles; ++round) {
        ticket = Lifecycle(round);
        ASSERT_EQ(KVXHostGetLiveObjectCount(0), liveAtStart) << "after lifecycle " << round;
        if (round == kWarmLifecycles) residentAfterWarmUp = ResidentBytes();
    }
    // The typing reached the fields: the last lifecycle's codes are in the ticket.
    const std::string din = "\"DINDigit3\":\"" + std::to_string(lifecycles % 10) + "\",\"DINDigit4\":\"4\"";
    EXPECT_NE(ticket.find(din), std::string::npos) << ticket;
    EXPECT_NE(ticket.find("\"DCDigit3\":\"3\""), std::string::npos) << ticket;
    if (count == nullptr) {
        const long growth = ResidentBytes() - residentAfterWarmUp;
        EXPECT_LE(growth, kAllowedGrowth) << "resident memory grew by " << growth << " bytes";
    }
}

}  // namespace
}  // namespace kvx::test
