// kvx-dialog against a private CUPS scheduler: a private job from the pane
// reaches the scheduler and the printer's output with every option, another
// model's queue gets no pane, saved defaults come back without the DIN, and
// what the printer does not offer, or a scheduler that does not answer, is
// an error before anything is submitted.
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
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

std::string Lowercase(std::string text) {
    for (char &character : text) character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    return text;
}

class CupsPrinting : public DialogTest {
protected:
    static void SetUpTestSuite() { scheduler_ = PrivateScheduler::Start(&whyNot_); }
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
        const std::regex attribute(key + R"( \([^)]*\) = (\S+))");
        std::smatch match;
        ASSERT_TRUE(std::regex_search(attributes, match, attribute)) << key << " in\n" << attributes;
        EXPECT_EQ(Lowercase(match[1]), Lowercase(value)) << key;
    }

    const std::multimap<std::string, std::string> choices = ChoicesInOutput(ReadFile(output));
    for (const auto &[key, value] : kPrivateJobOptions) {
        const auto [first, last] = choices.equal_range(key);
        ASSERT_EQ(std::distance(first, last), 1) << "one choice of " << key << " reaches the printer";
        EXPECT_EQ(first->second, value) << key;
    }
}

TEST_F(CupsPrinting, QueueOfAnotherModelShowsNoPaneAndIsListedSo) {
    scheduler().AddQueue("rm2200-list", kOtherModelPPD);
    scheduler().AddQueue("rm4750-list", kSupportedPPD);

    const CommandResult shown = dialog.Run("show\n", {"--printer", "rm2200-list"});
    EXPECT_EQ(shown.exitStatus, 3);
    EXPECT_THAT(shown.err, HasSubstr("Korvane RM-2200"));

    const CommandResult listed = dialog.RunWithArguments({"--list-printers"});
    ASSERT_EQ(listed.exitStatus, 0) << listed.err;
    EXPECT_THAT(Lines(listed.out), ::testing::IsSupersetOf({"rm2200-list\tKorvane RM-2200\tno pane",
                                                            "rm4750-list\tKorvane RM-4750\tpane"}));

    const CommandResult json = dialog.RunWithArguments({"--list-printers", "--json"});
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    const std::vector<Json> reports = json.Reports();
    ASSERT_EQ(reports.size(), 1u);
    std::map<std::string, std::pair<std::string, bool>> printers;
    for (const Json &printer : reports[0]) {
        printers[printer.at("name").get<std::string>()] = {printer.at("model").get<std::string>(), printer.at("pane").get<bool>()};
    }
    EXPECT_EQ(printers["rm2200-list"], std::make_pair(std::string("Korvane RM-2200"), false));
    EXPECT_EQ(printers["rm4750-list"], std::make_pair(std::string("Korvane RM-4750"), true));
}

TEST_F(CupsPrinting, SavedDefaultsComeBackWithoutTheDIN) {
    scheduler().AddQueue("rm4750-defaults", kSupportedPPD);
    // A DIN digit stored by hand before must not survive a save.
    ASSERT_EQ(RunShell("lpoptions -p rm4750-defaults -o DINDigit1=7").exitStatus, 0);

    const CommandResult saved = dialog.Run(kPrivateJobScript, {"--printer", "rm4750-defaults", "--save-defaults"});
    ASSERT_EQ(saved.exitStatus, 0) << saved.err;
    const std::string stored = ReadFile(scheduler().UserOptionsFile());
    EXPECT_THAT(stored, HasSubstr("PrintMode=Private"));
    EXPECT_THAT(stored, HasSubstr("DCDigit1=9"));
    EXPECT_THAT(stored, Not(HasSubstr("DINDigit")));

    // Nor is a DIN digit ever taken from the defaults.
    ASSERT_EQ(RunShell("lpoptions -p rm4750-defaults -o DINDigit2=5").exitStatus, 0);
    const CommandResult reopened = dialog.Run("ticket\nshow\n", {"--printer", "rm4750-defaults"});
    ASSERT_EQ(reopened.exitStatus, 0) << reopened.err;
    const std::vector<Json> reports = reopened.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].at("PrintMode").get<std::string>(), "Private");
    EXPECT_EQ(reports[0].at("DeptCode").get<std::string>(), "True");
    EXPECT_THAT(KeysOf(reports[0]), Not(::testing::Contains(HasSubstr("DINDigit"))));
    EXPECT_EQ(reports[1].at("print-mode").at("position").get<double>(), 3);
    EXPECT_EQ(reports[1].at("dc").at("text").get<std::string>(), "98765");
    EXPECT_EQ(reports[1].at("din").at("text").get<std::string>(), "00000");

    // A settings file given on the command line wins over the defaults it names.
    const std::string proof = Settings(StringEntry("PrintMode", "Proof"));
    const CommandResult fromFile = dialog.Run("ticket\n", {"--printer", "rm4750-defaults", "--settings", proof});
    ASSERT_EQ(fromFile.exitStatus, 0) << fromFile.err;
    EXPECT_EQ(fromFile.Reports().at(0).at("PrintMode").get<std::string>(), "Proof");
    EXPECT_EQ(fromFile.Reports().at(0).at("DeptCode").get<std::string>(), "True");
}

TEST_F(CupsPrinting, ValueThePrinterDoesNotOfferIsRefusedBeforeAnythingIsSubmitted) {
    const std::filesystem::path output = scheduler().AddQueue("rm4750-refuse", kSupportedPPD);
    const std::string document = dialog.WriteFile("page.ps", kSmallPostScript).string();
    const struct {
        std::string entries;
        std::string named;
    } cases[] = {
        {StringEntry("PageSize", "Tabloid"), "\"PageSize\""},  // an option with no such choice
        {StringEntry("Duplex", "None"), "\"Duplex\""},         // an option the PPD lacks
    };
    for (const auto &[entries, named] : cases) {
        const std::string settings = Settings(entries);
        const CommandResult result = dialog.Run(
            "ok\n", {"--printer", "rm4750-refuse", "--settings", settings, "--lp-options", "--save-defaults",
                     "--print", document});
        EXPECT_EQ(result.exitStatus, 2) << entries;
        EXPECT_THAT(result.err, HasSubstr(named));
        EXPECT_EQ(result.out, "") << "no lp arguments for a job that is refused";
    }
    EXPECT_EQ(scheduler().JobCount("rm4750-refuse"), 0);
    EXPECT_FALSE(std::filesystem::exists(scheduler().UserOptionsFile())) << "no defaults saved either";
    EXPECT_TRUE(!std::filesystem::exists(output) || ReadFile(output).empty());
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

// Runs the dialog with CUPS_SERVER pointing elsewhere, for this call only.
class SchedulerOverride {
public:
    explicit SchedulerOverride(const std::string &address) : saved_(std::getenv("CUPS_SERVER")) {
        setenv("CUPS_SERVER", address.c_str(), 1);
    }
    ~SchedulerOverride() { setenv("CUPS_SERVER", saved_.c_str(), 1); }

private:
    std::string saved_;
};

// A socket that takes connections into its backlog and never answers.
class SilentListener {
public:
    SilentListener() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        EXPECT_EQ(bind(fd_, reinterpret_cast<sockaddr *>(&address), length), 0);
        EXPECT_EQ(listen(fd_, 8), 0);
        getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentListener() { close(fd_); }
    int port() const { return port_; }

private:
    int fd_;
    int port_ = 0;
};

TEST_F(CupsPrinting, SchedulerThatCannotBeReachedOrNeverAnswersEndsTheRunInBoundedTime) {
    constexpr auto kBound = std::chrono::seconds(20);
    const SilentListener silent;
    int closedPort = 0;
    {
        const SilentListener released;
        closedPort = released.port();
    }
    for (const int port : {closedPort, silent.port()}) {
        const SchedulerOverride elsewhere("127.0.0.1:" + std::to_string(port));
        const auto started = std::chrono::steady_clock::now();
        const CommandResult result = dialog.Run("show\n", {"--printer", "rm4750"});
        EXPECT_LT(std::chrono::steady_clock::now() - started, kBound);
        EXPECT_EQ(result.exitStatus, 2) << result.err;
        EXPECT_THAT(result.err, HasSubstr("print scheduler at 127.0.0.1:" + std::to_string(port)));
    }
}

}  // namespace
}  // namespace kvx::test
