// The print-settings keys that the Korvane pane reads and writes, as the
// PPD's main keywords, each marked whether it is secret (the private-print
// DIN: it belongs to one job) and whether it is a digit of a code. What
// follows from the marks is the DIN policy's (din_policy.hpp) and, at a
// print server, kvx-pin-policy's; this is the one place that names the keys.
#pragma once

#include <array>
#include <string_view>

namespace kvx::session {

struct PaneKey {
    std::string_view name;
    bool secret;     // the DIN's: it belongs to one job
    bool codeDigit;  // one digit of a five-digit code, the DIN's or the department code's
};

constexpr std::array<PaneKey, 13> kPaneKeys{{
    {"PrintMode", false, false},
    {"DeptCode", false, false},
    {"ZELOrientation", false, false},
    {"DCDigit1", false, true},
    {"DCDigit2", false, true},
    {"DCDigit3", false, true},
    {"DCDigit4", false, true},
    {"DCDigit5", false, true},
    {"DINDigit1", true, true},
    {"DINDigit2", true, true},
    {"DINDigit3", true, true},
    {"DINDigit4", true, true},
    {"DINDigit5", true, true},
}};

}  // namespace kvx::session
