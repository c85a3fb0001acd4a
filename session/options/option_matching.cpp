#include "session/options/option_matching.hpp"

#include <algorithm>

namespace kvx::session {
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

}  // namespace kvx::session
