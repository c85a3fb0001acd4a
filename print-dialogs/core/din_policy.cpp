#include "din_policy.hpp"

#include <algorithm>

#include "pane/pane_keys.hpp"

namespace kvx::print_dialogs {
namespace {

constexpr std::string_view kCupsSettingPrefix = "cups-";

}  // namespace

std::string CupsSettingKey(std::string_view ppdKey) {
    return std::string(kCupsSettingPrefix) + std::string(ppdKey);
}

std::vector<std::string> DINSettingKeys() {
    std::vector<std::string> keys;
    std::ranges::transform(dialog::kSecretPaneKeys, std::back_inserter(keys), CupsSettingKey);
    return keys;
}

bool IsDINSetting(std::string_view settingKey) {
    return std::ranges::any_of(dialog::kSecretPaneKeys,
                               [&](std::string_view key) { return settingKey == CupsSettingKey(key); });
}

}  // namespace kvx::print_dialogs
