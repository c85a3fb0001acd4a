#include "dialog/settings/starting_settings.hpp"

#include <filesystem>

#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"
#include "dialog/cups/ppd_defaults.hpp"
#include "dialog/cups/queue_defaults.hpp"
#include "dialog/settings/settings_file.hpp"

namespace kvx::dialog {
namespace {

bool IsSameFile(const std::string &first, const std::string &second) {
    std::error_code error;
    return first == second || std::filesystem::equivalent(first, second, error);
}

// The administrator's, then the user's defaults for a CUPS queue; a PPD file
// alone is a printer nobody has set up, and the pane starts as it does.
void LoadDefaults(const Options &options, const session::PPDFile &ppd, const JobOptions &userDefaults,
                  CFMutableDictionaryRef ppdDict) {
    if (!options.printerQueue) return;
    LoadPPDDefaults(ppd, ppdDict);
    ApplyQueueDefaults(userDefaults, ppd, ppdDict);
}

}  // namespace

void LoadStartingSettings(const Options &options, const session::PPDFile &ppd, const JobOptions &userDefaults,
                          CFMutableDictionaryRef ppdDict) {
    LoadDefaults(options, ppd, userDefaults, ppdDict);
    if (!options.settingsPath) return;
    try {
        LoadSettingsFile(*options.settingsPath, ppdDict);
    } catch (const DialogError &error) {
        if (!options.ignoreBadSettings) throw;
        if (options.savePath && IsSameFile(*options.savePath, *options.settingsPath)) {
            throw DialogError(kExitUsage, std::string(error.what()) + "; --save would overwrite it, so nothing is done");
        }
        ReportMessage(std::string(error.what()) + "; starting from the defaults, as --ignore-bad-settings asks");
    }
}

}  // namespace kvx::dialog
