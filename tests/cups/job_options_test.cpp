// The job's options on their way out of the dialog: the lp arguments survive
// a real shell word for word, and the check against the printer's PPD names
// what it refuses without ever naming the DIN.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "KVXHostSupport.hpp"
#include "bundle/TempFolder.hpp"
#include "cups_job.hpp"
#include "dialog_error.hpp"
#include "private_scheduler.hpp"

namespace kvx::dialog {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::string_view kSmallPPD = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "SMALL.PPD"
*Manufacturer: "Korvane"
*Product: "(Small)"
*ModelName: "Small"
*ShortNickName: "Small"
*NickName: "Small"
*OpenUI *PrintMode/Print Mode: PickOne
*DefaultPrintMode: Normal
*PrintMode Normal/Normal: ""
*PrintMode Private/Private: ""
*CloseUI: *PrintMode
*OpenUI *DINDigit1/DIN Digit 1: PickOne
*DefaultDINDigit1: 0
*DINDigit1 0/0: ""
*DINDigit1 1/1: ""
*CloseUI: *DINDigit1
)PPD";

std::vector<std::string> ShellWords(const std::string &arguments) {
    const test::CommandResult words = test::RunCommand("sh -c " + test::ShellWord("printf '%s\\n' " + arguments));
    std::vector<std::string> lines;
    std::istringstream stream(words.output);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

TEST(LpArguments, SurviveTheShellWordForWord) {
    const JobOptions options = {{"PrintMode", "Private"},
                                {"Title", "two words"},
                                {"Quote", "it's"},
                                {"Specials", "$HOME `id` \\ \" * ; | &"},
                                {"Empty", ""},
                                {"Accent", "caf\xC3\xA9"}};
    const std::string arguments = FormatLpArguments(options);
    std::vector<std::string> expected;
    for (const JobOption &option : options) {
        expected.push_back("-o");
        expected.push_back(option.key + "=" + option.value);
    }
    EXPECT_EQ(ShellWords(arguments), expected) << arguments;
    EXPECT_THAT(arguments, HasSubstr("-o PrintMode=Private")) << "plain values stay readable";
}

class JobOptionCheck : public ::testing::Test {
protected:
    test::TempFolder folder;
    std::string ppd = folder.write("small.ppd", kSmallPPD).string();

    // The message of the refusal, or "" when the options pass.
    std::string Refusal(const JobOptions &options) const {
        try {
            CheckJobOptions(options, ppd, "desk");
        } catch (const DialogError &error) {
            EXPECT_EQ(error.exitStatus(), kExitUsage);
            return error.what();
        }
        return "";
    }
};

TEST_F(JobOptionCheck, PassesOnlyWhatThePPDOffers) {
    EXPECT_EQ(Refusal({{"PrintMode", "Private"}, {"DINDigit1", "1"}}), "");
    EXPECT_EQ(Refusal({}), "");

    const std::string unknownOption = Refusal({{"PrintMode", "Normal"}, {"Duplex", "None"}});
    EXPECT_THAT(unknownOption, HasSubstr("\"Duplex\""));
    EXPECT_THAT(unknownOption, HasSubstr("\"desk\""));

    const std::string unknownChoice = Refusal({{"PrintMode", "Proof"}});
    EXPECT_THAT(unknownChoice, HasSubstr("\"PrintMode\""));
    EXPECT_THAT(unknownChoice, HasSubstr("\"Proof\""));
}

TEST_F(JobOptionCheck, RefusedDINDigitIsNamedButItsValueIsNot) {
    const std::string refusal = Refusal({{"DINDigit1", "8"}});
    EXPECT_THAT(refusal, HasSubstr("\"DINDigit1\""));
    EXPECT_THAT(refusal, Not(HasSubstr("8")));
}

TEST_F(JobOptionCheck, PPDThatCannotBeReadIsRefused) {
    ppd = folder.write("broken.ppd", "not a PPD at all\n").string();
    EXPECT_THAT(Refusal({{"PrintMode", "Normal"}}), HasSubstr("cannot read the PPD"));
}

TEST(JobOptionCollection, TakesStringEntriesInTheTicketsOrderAndLeavesOthersOut) {
    const CFHolder<CFMutableDictionaryRef> ticket(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    const int copies = 3;
    const CFHolder<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberIntType, &copies));
    CFDictionarySetValue(ticket.get(), CFSTR("PrintMode"), CFSTR("Private"));
    CFDictionarySetValue(ticket.get(), CFSTR("Copies"), number.get());
    CFDictionarySetValue(ticket.get(), CFSTR("DeptCode"), CFSTR("True"));

    const JobOptions options = CopyJobOptions(ticket.get());
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0].key + "=" + options[0].value, "PrintMode=Private");
    EXPECT_EQ(options[1].key + "=" + options[1].value, "DeptCode=True");
}

}  // namespace
}  // namespace kvx::dialog
