// The job's options on their way out of the dialog: the lp arguments survive
// a real shell word for word, and the check against the printer's PPD names
// what it refuses without ever naming the DIN. That only the ticket's strings
// are options, in its order, is cups_printing_test's and dialog.scenario's.
#include <gmock/gmock.h>

#include "dialog/cups/cups_job.hpp"
#include "dialog/cli/dialog_error.hpp"
#include "private_scheduler.hpp"

namespace kvx::dialog {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(LpArguments, SurviveTheShellWordForWord) {
    const JobOptions options = {{"PrintMode", "Private"}, {"Title", "two words"},
                                {"Quote", "it's"},        {"Specials", "$HOME `id` \\ \" * ; | &"},
                                {"Empty", ""},            {"Accent", "caf\xC3\xA9"}};
    const std::string arguments = FormatLpArguments(options);
    std::vector<std::string> expected;
    for (const JobOption &option : options) expected.insert(expected.end(), {"-o", option.key + "=" + option.value});
    EXPECT_EQ(test::ShellWords(arguments), expected) << arguments;
    EXPECT_THAT(arguments, HasSubstr("-o PrintMode=Private")) << "plain values stay readable";
}

TEST(JobOptionCheck, PassesOnlyWhatThePPDOffersAndNeverNamesTheDIN) {
    const std::string ppd = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";
    const struct {
        JobOptions options;
        std::vector<std::string> named;  // empty: the options pass
        std::string ppd;
    } cases[] = {
        {{{"PrintMode", "Private"}, {"DINDigit1", "1"}}, {}, ppd},
        {{}, {}, ppd},
        {{{"PrintMode", "Normal"}, {"Duplex", "None"}}, {"\"Duplex\"", "\"desk\""}, ppd},
        {{{"PrintMode", "Draft"}}, {"\"PrintMode\"", "\"Draft\""}, ppd},
        {{{"DINDigit1", "77"}}, {"\"DINDigit1\""}, ppd},
        {{{"PrintMode", "Normal"}}, {"cannot read the PPD"}, KVX_SOURCE_DIR "/dialog/demo.script"},
    };
    for (const auto &[options, named, file] : cases) {
        SCOPED_TRACE(named.empty() ? "passes" : named[0]);
        std::string refusal;
        try {
            CheckJobOptions(options, session::PPDFile(file), "desk", "nothing was printed");
        } catch (const DialogError &error) {
            EXPECT_EQ(error.exitStatus(), kExitUsage);
            refusal = error.what();
        }
        EXPECT_EQ(refusal.empty(), named.empty()) << refusal;
        for (const std::string &name : named) EXPECT_THAT(refusal, HasSubstr(name));
        EXPECT_THAT(refusal, Not(HasSubstr("77"))) << "a DIN digit's value is never named";
    }
}

}  // namespace
}  // namespace kvx::dialog
