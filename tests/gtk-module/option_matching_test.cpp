// Which generic widget stands for which pane key, and what a new pane starts
// from: the rules that decide what reaches the job, without a display.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "option_matching.hpp"

namespace kvx::test {
namespace {

using gtk_module::MatchOptionLabels;
using gtk_module::OptionText;
using gtk_module::StartingChoices;
using gtk_module::StartingChoiceSources;
using Choices = std::map<std::string, std::string>;

TEST(OptionLabels, EachKeyTakesTheOneLabelThatReadsAsItsText) {
    const std::vector<OptionText> options = {{"PrintMode", "Print Mode"}, {"DINDigit1", "DIN Digit 1"},
                                             {"DeptCode", "Department Code"}};
    // GTK's order, other options between, and a label that only starts alike.
    const std::vector<std::string> labels = {"Department Code Digit 1:", "Media Size:", "DIN Digit 1:",
                                             "Department Code:", "Print Mode:"};
    const gtk_module::OptionMatch match = MatchOptionLabels(options, labels);
    EXPECT_EQ(match.labelOfKey, (std::map<std::string, size_t>{{"PrintMode", 4}, {"DINDigit1", 2}, {"DeptCode", 3}}));
    EXPECT_TRUE(match.unmatchedKeys.empty());
}

TEST(OptionLabels, AMissingOrAmbiguousTextMatchesNothing) {
    // A key without a label, a text two labels carry, a text two options share:
    // writing any of them could put a value into another option's widget.
    const std::vector<OptionText> options = {{"PrintMode", "Print Mode"},
                                             {"DINDigit1", "Digit"},
                                             {"DCDigit1", "Digit"},
                                             {"ZELOrientation", "Orientation"},
                                             {"DeptCode", "Department Code"}};
    const std::vector<std::string> labels = {"Digit:", "Orientation:", "Orientation:", "Department Code:",
                                             "Print Mode"};
    const gtk_module::OptionMatch match = MatchOptionLabels(options, labels);
    EXPECT_EQ(match.labelOfKey, (std::map<std::string, size_t>{{"DeptCode", 3}}));
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

TEST(StartingChoices, TheDialogsChoicesCarryOverButNeverTheDIN) {
    // The last dialog's settings as an application hands them on.
    const Choices dialog = {{"PrintMode", "Private"}, {"DINDigit1", "4"}, {"DINDigit2", "8"}, {"DINDigit3", "2"},
                            {"DINDigit4", "1"},       {"DINDigit5", "3"}, {"DeptCode", "True"}, {"DCDigit1", "9"},
                            {"DCDigit2", "0"},        {"DCDigit3", "5"},  {"DCDigit4", "1"},   {"DCDigit5", "7"},
                            {"ZELOrientation", "Landscape"}};
    Choices expected = dialog;
    for (const char *digit : {"DINDigit1", "DINDigit2", "DINDigit3", "DINDigit4", "DINDigit5"}) expected[digit] = "0";
    EXPECT_EQ(StartingChoices(Sources(dialog)), expected);
}

TEST(StartingChoices, WhatThePPDDoesNotOfferFallsBackOrIsLeftOut) {
    // A choice the PPD lacks starts at the default; an option it lacks is not set at all.
    const Choices dialog = {{"PrintMode", "Secret"}, {"DCDigit1", "x"}, {"DeptCode", "True"}};
    const Choices started = StartingChoices(Sources(dialog, {"ZELOrientation", "DINDigit5"}));
    EXPECT_EQ(started.at("PrintMode"), "Normal");
    EXPECT_EQ(started.at("DCDigit1"), "0");
    EXPECT_EQ(started.at("DeptCode"), "True");
    EXPECT_FALSE(started.contains("ZELOrientation"));
    EXPECT_FALSE(started.contains("DINDigit5"));
    EXPECT_EQ(started.size(), 11U);
}

}  // namespace
}  // namespace kvx::test
