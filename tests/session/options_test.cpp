// Which generic widget stands for which pane key, and the DIN policy: what a
// new pane starts from, the reset of a dialog's store, the scrub of what
// goes back to the application and what saved defaults keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "session/options/din_policy.hpp"
#include "session/options/option_matching.hpp"

namespace kvx::test {
namespace {

using session::Choices;
using session::DinPolicy;
using session::MatchOptionLabels;
using session::OptionText;
using session::StartingChoiceSources;

TEST(OptionLabels, AKeyTakesTheOneLabelThatReadsAsItsTextOrNone) {
    // GTK's order, other options between, a label that only starts alike, a
    // key without a label, a text two labels carry, a text two options share:
    // writing any of the last three could put a value into another option's widget.
    const std::vector<OptionText> options = {{"PrintMode", "Print Mode"}, {"DINDigit1", "Digit"},
                                             {"DCDigit1", "Digit"},       {"ZELOrientation", "Orientation"},
                                             {"DeptCode", "Department Code"}, {"DCDigit2", "Department Code Digit 2"}};
    const std::vector<std::string> labels = {"Department Code Digit 2:", "Media Size:", "Digit:", "Orientation:",
                                             "Orientation:", "Department Code:", "Print Mode"};
    const session::OptionMatch match = MatchOptionLabels(options, labels);
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

TEST(DinPolicy, ANewPaneTakesTheDialogsChoicesThePPDOffersButNeverTheDIN) {
    // A choice the PPD lacks starts at its default, an option it lacks is not set at
    // all, and the DIN is not set from the dialog or the PPD: the pane starts it at
    // 00000, since a DIN is typed for each job.
    const Choices dialog = {{"PrintMode", "Secret"}, {"DCDigit1", "x"}, {"DCDigit2", "7"}, {"DeptCode", "True"},
                            {"DINDigit1", "4"}};
    EXPECT_EQ(DinPolicy::StartingChoices(Sources(dialog, {"ZELOrientation"})),
              (Choices{{"PrintMode", "Normal"}, {"DeptCode", "True"}, {"DCDigit1", "0"}, {"DCDigit2", "7"},
                       {"DCDigit3", "0"}, {"DCDigit4", "0"}, {"DCDigit5", "0"}}));
}

// A store as a dialog, an application or saved defaults hold settings: the
// keys it has, and the values it offers.
class MapStore final : public session::SettingsStore {
public:
    MapStore(Choices held, std::set<std::string> refusedValues = {})
        : held(std::move(held)), refused_(std::move(refusedValues)) {}
    bool Holds(std::string_view key) const override { return held.contains(std::string(key)); }
    bool Set(std::string_view key, std::string_view value) override {
        if (refused_.contains(std::string(value))) return false;
        held[std::string(key)] = value;
        return true;
    }
    Choices held;

private:
    std::set<std::string> refused_;
};

TEST(DinPolicy, TheDINTheStoreHoldsGoesToZerosWhateverElseItHolds) {
    // A dialog that shows three DIN digits among other options; one that
    // offers no 0 keeps its own and is named; a store without the DIN is told so.
    MapStore dialog(Choices{{"PrintMode", "Private"}, {"DINDigit1", "4"}, {"DINDigit3", "2"}, {"DCDigit1", "9"}});
    const DinPolicy::ResetOutcome reset = DinPolicy::Reset(dialog);
    EXPECT_TRUE(reset.heldAny);
    EXPECT_TRUE(reset.refused.empty());
    EXPECT_EQ(dialog.held, (Choices{{"PrintMode", "Private"}, {"DINDigit1", "0"}, {"DINDigit3", "0"}, {"DCDigit1", "9"}}));

    MapStore noZero(Choices{{"DINDigit2", "5"}}, {"0"});
    EXPECT_EQ(DinPolicy::Reset(noZero).refused, std::vector<std::string>{"DINDigit2"});
    MapStore other(Choices{{"PrintMode", "Normal"}});
    EXPECT_FALSE(DinPolicy::Reset(other).heldAny);

    // What goes back to an application keeps its keys, at zero; saved
    // defaults lose every DIN key, held or not; messages never show a digit.
    MapStore application(Choices{{"DINDigit5", "3"}, {"DeptCode", "True"}});
    DinPolicy::Scrub(application);
    EXPECT_EQ(application.held, (Choices{{"DINDigit5", "0"}, {"DeptCode", "True"}}));
    std::vector<std::string> removed;
    DinPolicy::KeepOutOfDefaults([&](std::string_view key) { removed.emplace_back(key); });
    EXPECT_EQ(removed, (std::vector<std::string>{"DINDigit1", "DINDigit2", "DINDigit3", "DINDigit4", "DINDigit5"}));
    EXPECT_EQ(DinPolicy::Shown("DINDigit4", "7"), "the value given");
    EXPECT_EQ(DinPolicy::Shown("DCDigit4", "7"), "\"7\"");
}

}  // namespace
}  // namespace kvx::test
