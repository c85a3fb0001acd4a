#include "option_matching.hpp"

#include <algorithm>

#include "pane/pane_keys.hpp"

namespace kvx::print_dialogs {
namespace {

constexpr std::string_view kLabelSuffix = ":";

std::string LabelFor(const std::string &text) {
    return text + std::string(kLabelSuffix);
}

template <typename Range, typename Projection>
size_t CountEqual(const Range &range, const std::string &value, Projection projection) {
    return static_cast<size_t>(std::ranges::count(range, value, projection));
}

}  // namespace

OptionMatch MatchOptionLabels(std::span<const OptionText> options, std::span<const std::string> labels) {
    OptionMatch match;
    for (const OptionText &option : options) {
        const std::string label = LabelFor(option.text);
        const auto found = std::ranges::find(labels, label);
        const bool unique = found != labels.end() && CountEqual(labels, label, std::identity{}) == 1 &&
                            CountEqual(options, option.text, &OptionText::text) == 1;
        if (unique) {
            match.labelOfKey[option.key] = static_cast<size_t>(found - labels.begin());
        } else {
            match.unmatchedKeys.push_back(option.key);
        }
    }
    return match;
}

Choices StartingChoices(const StartingChoiceSources &sources) {
    Choices choices;
    for (const std::string_view keyView : dialog::kPlainPaneKeys) {
        const std::string key(keyView);
        std::optional<std::string> choice = sources.dialogChoice(key);
        if (!choice || !sources.ppdOffers(key, *choice)) choice = sources.ppdDefault(key);
        if (choice && sources.ppdOffers(key, *choice)) choices[key] = *choice;
    }
    return choices;
}

}  // namespace kvx::print_dialogs
