// Which generic widget stands for which pane key, and what a new pane starts
// from: the rules that decide what reaches the job, without a display.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/option_matching.hpp"

namespace kvx::test {
namespace {

using print_dialogs::MatchOptionLabels;
using print_dialogs::OptionText;
using print_dialogs::StartingChoices;
using print_dialogs::StartingChoiceSources;
using Choices = std::map<std::string, std::string>;

TEST(OptionLabels, AKeyTakesTheOneLabelThatReadsAsItsTextOrNone) {
    // GTK's order, other options between, a label that only starts alike, a
    // key without a label, a text two labels carry, a text two options share:
    // writing any of the last three could put a value into another option's widget.
    const std::vector<OptionText> options = {{"PrintMode", "Print Mode"}, {"DINDigit1", "Digit"},
                                             {"DCDigit1", "Digit"},       {"ZELOrientation", "Orientation"},
                                             {"DeptCode", "Department Code"}, {"DCDigit2", "Department Code Digit 2"}};
    const std::vector<std::string> labels = {"Department Code Digit 2:", "Media Size:", "Digit:", "Orientation:",
                                             "Orientation:", "Department Code:", "Print Mode"};
    const print_dialogs::OptionMatch match = MatchOptionLabels(options, labels);
    EXPECT_EQ(match.labelOfKey, (std::map<std::string, size_t>{{"DeptCode", 5}, {"DCDigit2", 0}}));
    EXPECT_EQ(match.unmatchedKeys,
              (std::vector<std::string>{"PrintMode", "DINDigit1", "DCDigit1", "ZELOrientation"}));
}

// A PPD whose digits offer 0-9 and default to 0, with print modes, a
// department switch and an orientation; the keys in `missing` it lacks.
StartingChoiceSources Sources(const Choices &dialog, const std::set<std::string> &missing = {}) {
    const auto choicesOf = [](const std::string &key) -> std::vector<std::string> {
        if (key == "PrintMode") return {"Normal", "Private"};
        if (key == "DeptCode") return {"False", "True"};
        if (key == "ZELOrientation") return {"Portrait", "Landscape"};
        return {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    };
    const auto lookUp = [](const Choices &choices, const std::string &key) {
        return choices.contains(key) ? std::optional(choices.at(key)) : std::nullopt;
    };
    return {.dialogChoice = [=](const std::string &key) { return lookUp(dialog, key); },
            .ppdDefault = [=](const std::string &key) {
                return missing.contains(key) ? std::nullopt : std::optional(choicesOf(key).front());
            },
            .ppdOffers = [=](const std::string &key, const std::string &choice) {
                return !missing.contains(key) && std::ranges::count(choicesOf(key), choice) == 1;
            }};
}

TEST(StartingChoices, TheDialogsChoicesCarryOverUnlessThePPDLacksThemAndTheDINNever) {
    // A choice the PPD lacks starts at its default, an option it lacks is not set at
    // all, and the DIN is not set from the dialog or the PPD: the pane starts it at
    // 00000, since a DIN is typed for each job.
    const Choices dialog = {{"PrintMode", "Secret"}, {"DCDigit1", "x"}, {"DCDigit2", "7"}, {"DeptCode", "True"},
                            {"DINDigit1", "4"}};
    const Choices started = StartingChoices(Sources(dialog, {"ZELOrientation"}));
    EXPECT_EQ(started.at("PrintMode"), "Normal");
    EXPECT_EQ(started.at("DCDigit1"), "0");
    EXPECT_EQ(started.at("DCDigit2"), "7");
    EXPECT_EQ(started.at("DeptCode"), "True");
    EXPECT_FALSE(started.contains("ZELOrientation"));
    EXPECT_EQ(started.size(), 7U) << "the plain keys but the orientation, no DIN digit";
}

}  // namespace
}  // namespace kvx::test
