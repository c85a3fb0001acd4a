#include "din_policy.hpp"

#include <algorithm>
#include <string>

#include "generic_options.hpp"
#include "pane/pane_keys.hpp"
#include "report.hpp"

namespace kvx::gtk_module {
namespace {

// GTK's CUPS backend keeps each PPD option in the print settings as
// "cups-" and its main keyword.
constexpr std::string_view kCupsSettingPrefix = "cups-";
// The pane shows 00000 when the ticket holds no DIN.
constexpr const char *kStartingDigit = "0";

std::string SettingKey(std::string_view ppdKey) {
    return std::string(kCupsSettingPrefix) + std::string(ppdKey);
}

bool IsDINSetting(const std::string &name) {
    return std::ranges::any_of(dialog::kSecretPaneKeys, [&](std::string_view key) { return name == SettingKey(key); });
}

}  // namespace

bool ResetDialogDIN(GtkWidget *dialog) {
    bool found = false;
    for (const GenericOption &option : FindGenericOptions(dialog)) {
        const std::string name = OptionName(option);
        if (!IsDINSetting(name)) continue;
        found = true;
        if (!Choose(option.combo, kStartingDigit)) {
            ReportProblem("the print dialog offers no " + std::string(kStartingDigit) + " for " + name +
                          "; it keeps its own choice");
        }
    }
    return found;
}

void ZeroDIN(GtkPrintSettings *settings) {
    for (const std::string_view key : dialog::kSecretPaneKeys) {
        const std::string setting = SettingKey(key);
        if (gtk_print_settings_has_key(settings, setting.c_str())) {
            gtk_print_settings_set(settings, setting.c_str(), kStartingDigit);
        }
    }
}

}  // namespace kvx::gtk_module
