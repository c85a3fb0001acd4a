// The display-free rules of kvx-print in every toolkit: which of the
// dialog's generic option widgets stands for which of the pane's PPD keys,
// and what the pane starts from in a new dialog.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kvx::print_dialogs {

// A PPD option as the person reads it: its main keyword and its translated
// text, in UTF-8.
struct OptionText {
    std::string key;
    std::string text;
};

struct OptionMatch {
    std::map<std::string, size_t> labelOfKey;  // key -> index into the labels
    std::vector<std::string> unmatchedKeys;    // in the order of the options
};

// GTK labels each generic option widget with the option's text and a colon
// ("Print Mode:"). A key matches the one label that reads so; a text that
// two labels or two options share names neither, so a key is never written
// into another option's widget.
OptionMatch MatchOptionLabels(std::span<const OptionText> options, std::span<const std::string> labels);

// What a new pane starts from, per pane key: the dialog's current choice
// (the queue's defaults and the application's saved settings), as long as
// the PPD offers it, else the PPD's default. Keys the PPD lacks are left
// out, and so is the DIN, whatever its source: applications hand each
// dialog the settings of the last one, the queue's defaults are anyone's,
// and a private-print PIN is typed for every job. The pane starts it at
// 00000, as kvx-dialog's does.
struct StartingChoiceSources {
    std::function<std::optional<std::string>(const std::string &key)> dialogChoice;
    std::function<std::optional<std::string>(const std::string &key)> ppdDefault;
    std::function<bool(const std::string &key, const std::string &choice)> ppdOffers;
};
using Choices = std::map<std::string, std::string>;  // pane key -> PPD choice
Choices StartingChoices(const StartingChoiceSources &sources);

}  // namespace kvx::print_dialogs
