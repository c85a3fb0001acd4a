// kvx-dialog against a private CUPS scheduler: a private job from the pane
// reaches the scheduler and the printer's output with every option; the
// print settings start from the queue PPD's defaults, then the user's, then
// --settings, and the DIN from none of them; the queues are listed with
// their models; what the printer does not offer, or a scheduler that does
// not answer, is an error before anything is done.
#include <gmock/gmock.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <regex>

#include "dialog/dialog_fixture.hpp"
#include "private_scheduler.hpp"

namespace kvx::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::string_view kPrivateJobScript = R"(choose print-mode Private (DIN)
select din 0 5
type din 40213
choose department On
select dc 0 5
type dc 98765
ok
)";

const std::map<std::string, std::string> kPrivateJobOptions = {
    {"PrintMode", "Private"}, {"DINDigit1", "4"}, {"DINDigit2", "0"},       {"DINDigit3", "2"},
    {"DINDigit4", "1"},       {"DINDigit5", "3"}, {"DeptCode", "True"},     {"DCDigit1", "9"},
    {"DCDigit2", "8"},        {"DCDigit3", "7"},  {"DCDigit4", "6"},        {"DCDigit5", "5"},
    {"ZELOrientation", "Portrait"}};

constexpr std::string_view kSmallPostScript = "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\n"
                                              "/Courier findfont 12 scalefont setfont 72 72 moveto (kvx) show\n"
                                              "showpage\n%%EOF\n";

// The options that lp would get from the arguments, read by a real shell.
std::map<std::string, std::string> OptionsAsTheShellReadsThem(const std::string &lpArguments) {
    std::map<std::string, std::string> options;
    const std::vector<std::string> lines = ShellWords(lpArguments);
    for (size_t index = 0; index + 1 < lines.size(); index += 2) {
        EXPECT_EQ(lines[index], "-o");
        const size_t equals = lines[index + 1].find('=');
        options[lines[index + 1].substr(0, equals)] = lines[index + 1].substr(equals + 1);
    }
    return options;
}

// Every choice of every job option that the output's setup code sets:
// "userdict /KVX<Key> (<choice>) put", once per choice written.
std::multimap<std::string, std::string> ChoicesInOutput(const std::string &output) {
    static const std::regex kInvocation(R"(userdict /KVX(\w+) \(([^)]*)\) put)");
    std::multimap<std::string, std::string> choices;
    for (std::sregex_iterator match(output.begin(), output.end(), kInvocation), end; match != end; ++match) {
        choices.emplace((*match)[1], (*match)[2]);
    }
    return choices;
}

class CupsPrinting : public DialogTest {
protected:
    static void SetUpTestSuite() {
        scheduler_ = PrivateScheduler::Start(&whyNot_);
        if (!scheduler_) return;
        scheduler_->AddQueue("dept", kSupportedPPD);
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

    const PrivateScheduler &scheduler() const { return *scheduler_; }
    std::string Settings(std::string_view entries) const {
        return dialog.WriteFile("settings.plist", SettingsPlist(entries)).string();
    }

private:
    static inline std::unique_ptr<PrivateScheduler> scheduler_;
    static inline std::string whyNot_;
};

TEST_F(CupsPrinting, PrivateJobCarriesEveryPaneOptionToTheSchedulerAndTheOutput) {
    const std::filesystem::path output = scheduler().AddQueue("rm4750-job", kSupportedPPD);
    const std::string document = dialog.WriteFile("page.ps", kSmallPostScript).string();

    const CommandResult result =
        dialog.Run(kPrivateJobScript, {"--printer", "rm4750-job", "--lp-options", "--print", document});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_THAT(result.err, Not(HasSubstr("40213"))) << "the DIN is never in a message";
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 2u) << result.out;
    EXPECT_EQ(OptionsAsTheShellReadsThem(lines[0]), kPrivateJobOptions);
    const int jobID = std::stoi(lines[1]);
    ASSERT_TRUE(scheduler().WaitUntilIdle("rm4750-job"));

    const std::string attributes = scheduler().JobAttributes(jobID);
    for (const auto &[key, value] : kPrivateJobOptions) {
        // The scheduler stores True and False as IPP booleans.
        EXPECT_TRUE(std::regex_search(attributes, std::regex(key + R"( \([^)]*\) = )" + value + "\n", std::regex::icase)))
            << key << "=" << value << " in\n" << attributes;
    }

    const std::multimap<std::string, std::string> choices = ChoicesInOutput(ReadFile(output));
    for (const auto &[key, value] : kPrivateJobOptions) {
        const auto [first, last] = choices.equal_range(key);
        ASSERT_EQ(std::distance(first, last), 1) << "one choice of " << key << " reaches the printer";
        EXPECT_EQ(first->second, value) << key;
    }
}

TEST_F(CupsPrinting, TicketStartsFromTheQueueThenTheUserThenTheSettingsAndNeverTheDIN) {
    const CommandResult queueOnly = dialog.Run("ticket\nshow\n", {"--printer", "dept"});
    ASSERT_EQ(queueOnly.exitStatus, 0) << queueOnly.err;
    std::vector<Json> reports = queueOnly.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].at("DeptCode").get<std::string>(), "True");
    EXPECT_THAT(reports[0].dump(), Not(HasSubstr("DINDigit")));
    EXPECT_EQ(reports[1].at("department").at("position").get<int>(), 2);
    EXPECT_EQ(reports[1].at("dc").at("text").get<std::string>(), "33000");
    EXPECT_EQ(reports[1].at("din").at("text").get<std::string>(), "00000");

    // A whole DIN among them, which the pane would show if it got through.
    ASSERT_EQ(RunShell("lpoptions -p dept -o DCDigit2=4 -o DCDigit3=4 $(printf ' -o DINDigit%s=5' 1 2 3 4 5)").exitStatus,
              0);
    const CommandResult withUser = dialog.Run("show\n", {"--printer", "dept"});
    ASSERT_EQ(withUser.exitStatus, 0) << withUser.err;
    EXPECT_EQ(withUser.Reports().at(0).at("dc").at("text").get<std::string>(), "34400");
    EXPECT_EQ(withUser.Reports().at(0).at("din").at("text").get<std::string>(), "00000");

    // A number is no job option: the printer, which has no Copies option, would refuse it.
    const std::string settings =
        Settings(StringEntry("DCDigit3", "6") + StringEntry("DCDigit5", "9") + "<key>Copies</key><integer>3</integer>\n");
    const CommandResult withSettings = dialog.Run("ok\n", {"--printer", "dept", "--settings", settings, "--lp-options"});
    ASSERT_EQ(withSettings.exitStatus, 0) << withSettings.err;
    const std::map<std::string, std::string> options = OptionsAsTheShellReadsThem(withSettings.out);
    std::string dc, din;
    for (const char digit : std::string("12345")) {
        dc += options.at(std::string("DCDigit") + digit);
        din += options.at(std::string("DINDigit") + digit);
    }
    EXPECT_EQ(dc + " " + din, "34609 00000");
    ASSERT_EQ(RunShell("lpoptions -x dept").exitStatus, 0);
}

TEST_F(CupsPrinting, SavedDefaultsNeverHoldTheDIN) {
    // A DIN digit stored by hand before must not survive a save.
    ASSERT_EQ(RunShell("lpoptions -p dept -o DINDigit1=7").exitStatus, 0);
    const CommandResult saved = dialog.Run(kPrivateJobScript, {"--printer", "dept", "--save-defaults"});
    ASSERT_EQ(saved.exitStatus, 0) << saved.err;
    const std::string stored = ReadFile(scheduler().UserOptionsFile());
    EXPECT_THAT(stored, HasSubstr("PrintMode=Private"));
    EXPECT_THAT(stored, HasSubstr("DCDigit1=9"));
    EXPECT_THAT(stored, Not(HasSubstr("DINDigit")));
    ASSERT_EQ(RunShell("lpoptions -x dept").exitStatus, 0);
}

// Which models come from the cache and when is model_cache_test's.
TEST_F(CupsPrinting, ListingNamesEachQueuesModelAndWhetherThePaneServesIt) {
    ASSERT_EQ(RunShell("lpoptions -d other").exitStatus, 0);
    const CommandResult listed = dialog.RunWithArguments({"--list-printers"});
    ASSERT_EQ(listed.exitStatus, 0) << listed.err;
    EXPECT_THAT(Lines(listed.out), ::testing::IsSupersetOf({"dept\tKorvane RM-4750\tpane",
                                                            "other\tKorvane RM-2200\tno pane\tdefault"}));

    const CommandResult json = dialog.RunWithArguments({"--list-printers", "--json"});
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    const std::vector<Json> reports = json.Reports();
    ASSERT_EQ(reports.size(), 1u);
    std::map<std::string, std::pair<std::string, bool>> printers;
    for (const Json &printer : reports[0]) {
        printers[printer.at("name").get<std::string>()] = {printer.at("model").get<std::string>(), printer.at("pane").get<bool>()};
    }
    EXPECT_EQ(printers["other"], std::make_pair(std::string("Korvane RM-2200"), false));
    EXPECT_EQ(printers["dept"], std::make_pair(std::string("Korvane RM-4750"), true));
}

// Nothing is printed, written or saved, and the message says which.
TEST_F(CupsPrinting, ValueThePrinterDoesNotOfferIsRefusedBeforeAnythingIsDone) {
    const std::filesystem::path output = scheduler().AddQueue("rm4750-refuse", kSupportedPPD);
    const std::string document = dialog.WriteFile("page.ps", kSmallPostScript).string();
    const struct {
        std::string entries;
        std::vector<std::string> mode;
        std::string said;
    } cases[] = {
        // an option with no such choice, an option the PPD lacks
        {StringEntry("PageSize", "Tabloid"), {"--lp-options", "--save-defaults", "--print", document}, "\"PageSize\""},
        {StringEntry("Duplex", "None"), {"--lp-options"}, "no lp arguments were written"},
        {StringEntry("Duplex", "None"), {"--save-defaults"}, "no defaults were saved"},
    };
    for (const auto &[entries, mode, said] : cases) {
        std::vector<std::string> arguments = {"--printer", "rm4750-refuse", "--settings", Settings(entries)};
        arguments.insert(arguments.end(), mode.begin(), mode.end());
        const CommandResult result = dialog.Run("ok\n", arguments);
        EXPECT_EQ(result.exitStatus, 2) << entries;
        EXPECT_THAT(result.err, HasSubstr(said));
        EXPECT_EQ(mode.size() > 1, result.err.find("nothing was printed") != std::string::npos) << result.err;
        EXPECT_EQ(result.out, "") << "no lp arguments for a job that is refused";
    }
    EXPECT_EQ(scheduler().JobCount("rm4750-refuse"), 0);
    EXPECT_FALSE(std::filesystem::exists(scheduler().UserOptionsFile())) << "no defaults saved either";
    EXPECT_TRUE(!std::filesystem::exists(output) || ReadFile(output).empty());

    // A compressed PPD with nothing inside reads as a file of no bytes does.
    const std::string emptyPPD = dialog.PathOf("empty.ppd.gz").string();
    ASSERT_EQ(RunShell("printf '' | gzip >" + ShellWord(emptyPPD)).exitStatus, 0);
    const CommandResult empty = dialog.Run("show\n", {"--ppd", emptyPPD});
    EXPECT_EQ(empty.exitStatus, 2);
    EXPECT_THAT(empty.err, HasSubstr("cannot read the PPD file \"" + emptyPPD + "\""));
}

TEST_F(CupsPrinting, UnknownQueueIsAnErrorAndTheFetchedPPDGoesWithTheDialog) {
    const CommandResult unknown = dialog.Run("show\n", {"--printer", "no-such-queue"});
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_THAT(unknown.err, HasSubstr("\"no-such-queue\""));

    scheduler().AddQueue("rm4750-temp", kSupportedPPD);
    const CommandResult shown = dialog.Run("show\n", {"--printer", "rm4750-temp"});
    ASSERT_EQ(shown.exitStatus, 0) << shown.err;
    // Only the test's own folder is left in the temporary directory.
    for (const auto &entry : std::filesystem::directory_iterator(scheduler().TempDirectory())) {
        EXPECT_THAT(entry.path().filename().string(), ::testing::StartsWith("kvx-bundle-test-"))
            << "the private copy of the PPD is removed";
    }
}

TEST_F(CupsPrinting, SchedulerThatCannotBeReachedOrNeverAnswersEndsTheRunInBoundedTime) {
    constexpr auto kBound = std::chrono::seconds(20);
    const SilentScheduler silent;
    std::string closed;
    {
        const SilentScheduler released;
        closed = released.Address();
    }
    const std::string saved = std::getenv("CUPS_SERVER");
    for (const std::string &address : {closed, silent.Address()}) {
        setenv("CUPS_SERVER", address.c_str(), 1);
        const auto started = std::chrono::steady_clock::now();
        const CommandResult result = dialog.Run("show\n", {"--printer", "rm4750"});
        EXPECT_LT(std::chrono::steady_clock::now() - started, kBound);
        EXPECT_EQ(result.exitStatus, 2) << result.err;
        EXPECT_THAT(result.err, HasSubstr("print scheduler at " + address));
    }
    setenv("CUPS_SERVER", saved.c_str(), 1);
}

}  // namespace
}  // namespace kvx::test
