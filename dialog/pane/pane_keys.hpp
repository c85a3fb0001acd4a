// The print-settings keys that the Korvane pane reads and writes, and which
// of them hold the private-print DIN, a secret that the dialog never stores
// as a default, never logs and never lists.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

namespace kvx::dialog {

constexpr std::array<std::string_view, 5> kSecretPaneKeys = {"DINDigit1", "DINDigit2", "DINDigit3", "DINDigit4",
                                                             "DINDigit5"};

constexpr std::array<std::string_view, 8> kPlainPaneKeys = {"PrintMode", "DeptCode", "ZELOrientation", "DCDigit1",
                                                            "DCDigit2",  "DCDigit3", "DCDigit4",       "DCDigit5"};

constexpr bool IsSecretPaneKey(std::string_view key) {
    return std::ranges::find(kSecretPaneKeys, key) != kSecretPaneKeys.end();
}

constexpr bool IsPlainPaneKey(std::string_view key) {
    return std::ranges::find(kPlainPaneKeys, key) != kPlainPaneKeys.end();
}

}  // namespace kvx::dialog
