// The window's printer chooser never makes the window wait for the
// scheduler: the window opens on the command line's printer at once, or
// moves to the default queue if the pane serves it; the scheduler's queues
// join the chooser when it answers, and a scheduler that never answers
// becomes a note, not a hang or an exit.
#include <gmock/gmock.h>

#include "cups/private_scheduler.hpp"
#include "gui_process.hpp"

namespace kvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

const std::string kSupportedPPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";
const std::string kOtherModelPPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm2200.ppd";
constexpr std::string_view kSampleLabel = "Korvane RM-4750 (sample PPD)";
constexpr std::string_view kAwaiting = "Looking for CUPS printers\u2026";

bool IsPrintersLine(const Json &line) { return line.size() == 1 && line.contains("printers"); }

std::vector<std::string> Labels(const Json &line) {
    return line.at("printers").at("labels").get<std::vector<std::string>>();
}

TEST(PrinterChooser, OpensAtOnceAndTakesTheQueuesOrASilentSchedulersNoteLater) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display: run under xvfb-run";
    std::string whyNot;
    const std::unique_ptr<PrivateScheduler> scheduler = PrivateScheduler::Start(&whyNot);
    if (!scheduler) GTEST_SKIP() << whyNot;
    scheduler->AddQueue("beta", kOtherModelPPD);
    scheduler->AddQueue("alpha", kSupportedPPD);
    {
        RunningDialog dialog({"--gui", "--gui-trace", "--printer", "beta"});
        const Json first = dialog.WaitFor(IsPrintersLine);
        EXPECT_THAT(Labels(first), ElementsAre("beta", kSampleLabel, kAwaiting));
        // The command line's queue keeps its place and its choice and gets its model.
        const Json filled = dialog.WaitFor(IsPrintersLine);
        EXPECT_THAT(Labels(filled),
                    ElementsAre("beta \u2014 Korvane RM-2200", kSampleLabel, "alpha \u2014 Korvane RM-4750"));
        EXPECT_EQ(filled.at("printers").at("chosen").get<int>(), 0);
    }
    ASSERT_EQ(std::system("lpadmin -d alpha"), 0);
    {
        RunningDialog dialog({"--gui", "--gui-trace"});
        EXPECT_EQ(dialog.WaitFor(IsPrintersLine).at("printers").at("chosen").get<int>(), 0);
        const Json moved = dialog.WaitFor([](const Json &line) {
            return IsPrintersLine(line) && line.at("printers").at("chosen").get<int>() != 0;
        });
        EXPECT_THAT(Labels(moved).at(1), StartsWith("alpha"));
        dialog.WaitFor([](const Json &line) { return line.contains("print-mode"); });
    }

    const SilentScheduler silent;
    setenv("CUPS_SERVER", silent.Address().c_str(), 1);
    RunningDialog dialog({"--gui", "--gui-trace", "--printer", "alpha"});
    // The window is there before fetching the queue or listing could have
    // ended (the watchdog's 10 seconds), even on a loaded machine.
    EXPECT_TRUE(dialog.WaitFor([](const Json &line) { return line.contains("window"); }, 8s)
                    .at("window").at("pane").is_null());
    const Json noted = dialog.WaitFor([](const Json &line) {
        return IsPrintersLine(line) && Labels(line).back() != kAwaiting;
    }, 30s);
    EXPECT_THAT(Labels(noted), ElementsAre("alpha", kSampleLabel, StartsWith("No CUPS printers: ")));
}

}  // namespace
}  // namespace kvx::test
