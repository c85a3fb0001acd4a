// The private-print DIN belongs to one job: in a print dialog it never
// starts from what the dialog was handed (an application's saved settings,
// the queue's defaults), and it does not stay in the settings the
// application keeps for its next print. These are the policy's names; each
// toolkit's view applies it to its own dialog's option store.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvx::print_dialogs {

// The digit each DIN key starts from: the pane shows 00000 when the ticket
// holds no DIN.
inline constexpr std::string_view kDINStartingDigit = "0";

// GTK's CUPS backend (3 and 4 alike) keeps each PPD option in the print
// settings as "cups-" and its main keyword.
std::string CupsSettingKey(std::string_view ppdKey);

// The DIN keys as print-settings keys, and whether a settings key is one.
std::vector<std::string> DINSettingKeys();
bool IsDINSetting(std::string_view settingKey);

}  // namespace kvx::print_dialogs
