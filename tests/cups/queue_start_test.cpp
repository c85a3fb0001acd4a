// How kvx-dialog starts on a CUPS queue: the print settings start from the
// queue PPD's defaults, then the user's saved defaults, then --settings, and
// the DIN from none of them; the queue's PPD is parsed once by the dialog
// (and once more by the plug-in's own printer check); --list-printers says
// the same cold and warm; the messages say what was not done.
#include <gmock/gmock.h>

#include <cstdlib>
#include <fstream>

#include "dialog/dialog_fixture.hpp"
#include "private_scheduler.hpp"

namespace kvx::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char *kSamplePPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";
constexpr const char *kOtherModelPPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm2200.ppd";
constexpr const char *kOpenCounter = KVX_PPD_OPEN_COUNTER;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

class QueueStart : public DialogTest {
protected:
    static void SetUpTestSuite() {
        scheduler_ = PrivateScheduler::Start(&whyNot_);
        if (!scheduler_) return;
        scheduler_->AddQueue("dept", kSamplePPD);
        scheduler_->AddQueue("other", kOtherModelPPD);
        // The administrator's defaults, kept in the queue's PPD; a DIN digit
        // among them must still never reach a job.
        ASSERT_EQ(RunShell("lpadmin -p dept -o DeptCode=True -o DCDigit1=3 -o DCDigit2=3 -o DINDigit1=7").exitStatus,
                  0);
    }
    static void TearDownTestSuite() { scheduler_.reset(); }
    void SetUp() override {
        if (!scheduler_) GTEST_SKIP() << whyNot_;
    }

    // The run's count of PPD parses in the process.
    CommandResult RunCountingParses(std::string_view script, const std::vector<std::string> &arguments,
                                    int &parses) const {
        const std::filesystem::path counts = dialog.PathOf("ppd-opens");
        std::filesystem::remove(counts);
        setenv("LD_PRELOAD", kOpenCounter, 1);
        setenv("KVX_PPD_OPEN_COUNT_FILE", counts.c_str(), 1);
        CommandResult result = dialog.Run(script, arguments);
        unsetenv("LD_PRELOAD");
        unsetenv("KVX_PPD_OPEN_COUNT_FILE");
        std::ifstream(counts) >> parses;
        return result;
    }

    static inline std::unique_ptr<PrivateScheduler> scheduler_;
    static inline std::string whyNot_;
};

TEST_F(QueueStart, TicketStartsFromTheQueueThenTheUserThenTheSettingsAndNeverTheDIN) {
    const CommandResult queueOnly = dialog.Run("ticket\nshow\n", {"--printer", "dept"});
    ASSERT_EQ(queueOnly.exitStatus, 0) << queueOnly.err;
    std::vector<Json> reports = queueOnly.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].at("DeptCode").get<std::string>(), "True");
    EXPECT_THAT(KeysOf(reports[0]), Not(::testing::Contains(HasSubstr("DINDigit"))));
    EXPECT_EQ(reports[1].at("department").at("position").get<int>(), 2);
    EXPECT_EQ(reports[1].at("dc").at("text").get<std::string>(), "33000");
    EXPECT_EQ(reports[1].at("din").at("text").get<std::string>(), "00000");

    ASSERT_EQ(RunShell("lpoptions -p dept -o DCDigit2=4 -o DCDigit3=4 -o DINDigit2=5").exitStatus, 0);
    const CommandResult withUser = dialog.Run("show\n", {"--printer", "dept"});
    ASSERT_EQ(withUser.exitStatus, 0) << withUser.err;
    EXPECT_EQ(withUser.Reports().at(0).at("dc").at("text").get<std::string>(), "34400");
    EXPECT_EQ(withUser.Reports().at(0).at("din").at("text").get<std::string>(), "00000");

    const std::string settings =
        dialog.WriteFile("settings.plist", SettingsPlist(StringEntry("DCDigit3", "6") + StringEntry("DCDigit5", "9")))
            .string();
    const CommandResult withSettings = dialog.Run("ok\n", {"--printer", "dept", "--settings", settings, "--lp-options"});
    ASSERT_EQ(withSettings.exitStatus, 0) << withSettings.err;
    EXPECT_THAT(withSettings.out, HasSubstr("-o DCDigit1=3 "));
    EXPECT_THAT(withSettings.out, HasSubstr("-o DCDigit2=4 "));
    EXPECT_THAT(withSettings.out, HasSubstr("-o DCDigit3=6 "));
    EXPECT_THAT(withSettings.out, HasSubstr("-o DCDigit5=9 "));
    EXPECT_THAT(withSettings.out, HasSubstr("-o DINDigit1=0 "));
    EXPECT_THAT(withSettings.out, HasSubstr("-o DINDigit2=0 "));
    ASSERT_EQ(RunShell("lpoptions -x dept").exitStatus, 0);
}

TEST_F(QueueStart, DialogParsesTheQueuePPDOnceAndThePlugInOnceMore) {
    if (kSanitized) GTEST_SKIP() << "the sanitizer's runtime must come first: no preloaded counter";
    int parses = 0;
    const CommandResult shown = RunCountingParses("ok\n", {"--printer", "dept", "--lp-options"}, parses);
    ASSERT_EQ(shown.exitStatus, 0) << shown.err;
    EXPECT_EQ(parses, 2) << "one for the dialog's defaults and checks, one for the plug-in's printer check";

    const CommandResult notShown = RunCountingParses("show\n", {"--printer", "other"}, parses);
    EXPECT_EQ(notShown.exitStatus, 3);
    EXPECT_THAT(notShown.err, HasSubstr("\"Korvane RM-2200\""));
    EXPECT_EQ(parses, 2) << "the model named in the message comes from the dialog's own parse";
}

TEST_F(QueueStart, ListingSaysTheSameColdAndWarm) {
    const std::filesystem::path cache = std::filesystem::path(std::getenv("XDG_CACHE_HOME")) / "kvx";
    std::filesystem::remove_all(cache);
    ASSERT_EQ(RunShell("lpoptions -d other").exitStatus, 0);
    const CommandResult cold = dialog.RunWithArguments({"--list-printers"});
    ASSERT_EQ(cold.exitStatus, 0) << cold.err;
    EXPECT_EQ(cold.out, "dept\tKorvane RM-4750\tpane\nother\tKorvane RM-2200\tno pane\tdefault\n");
    const CommandResult warm = dialog.RunWithArguments({"--list-printers"});
    EXPECT_EQ(warm.out, cold.out);
    EXPECT_EQ(warm.err, "");
}

TEST_F(QueueStart, MessagesSayWhatWasNotDone) {
    const std::string settings = dialog.WriteFile("bad.plist", SettingsPlist(StringEntry("Duplex", "None"))).string();
    const struct {
        std::vector<std::string> mode;
        std::string said;
    } modes[] = {
        {{"--lp-options"}, "no lp arguments were written"},
        {{"--save-defaults"}, "no defaults were saved"},
    };
    for (const auto &[mode, said] : modes) {
        std::vector<std::string> arguments = {"--printer", "dept", "--settings", settings};
        arguments.insert(arguments.end(), mode.begin(), mode.end());
        const CommandResult refused = dialog.Run("ok\n", arguments);
        EXPECT_EQ(refused.exitStatus, 2);
        EXPECT_THAT(refused.err, HasSubstr(said));
        EXPECT_THAT(refused.err, Not(HasSubstr("nothing was printed")));
    }

    // A compressed PPD with nothing inside reads as a file of no bytes does.
    const std::string emptyPPD = dialog.PathOf("empty.ppd.gz").string();
    ASSERT_EQ(RunShell("printf '' | gzip >" + ShellWord(emptyPPD)).exitStatus, 0);
    const CommandResult empty = dialog.Run("show\n", {"--ppd", emptyPPD});
    EXPECT_EQ(empty.exitStatus, 2);
    EXPECT_THAT(empty.err, HasSubstr("cannot read the PPD file \"" + emptyPPD + "\""));
}

}  // namespace
}  // namespace kvx::test
