// The print-settings keys that the Korvane pane reads and writes, as the
// PPD's main keywords, each marked whether it is secret. The private-print
// DIN is: it belongs to one job. What follows from the mark is the DIN
// policy's (din_policy.hpp); this is the one place that names the keys.
#pragma once

#include <array>
#include <string_view>

namespace kvx::session {

struct PaneKey {
    std::string_view name;
    bool secret;
};

constexpr std::array<PaneKey, 13> kPaneKeys{{
    {"PrintMode", false},
    {"DeptCode", false},
    {"ZELOrientation", false},
    {"DCDigit1", false},
    {"DCDigit2", false},
    {"DCDigit3", false},
    {"DCDigit4", false},
    {"DCDigit5", false},
    {"DINDigit1", true},
    {"DINDigit2", true},
    {"DINDigit3", true},
    {"DINDigit4", true},
    {"DINDigit5", true},
}};

}  // namespace kvx::session
