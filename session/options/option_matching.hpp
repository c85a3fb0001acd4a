// Which of a print dialog's generic option widgets stands for which of the
// pane's PPD keys, by the texts that label them.
#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

namespace kvx::session {

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

}  // namespace kvx::session
