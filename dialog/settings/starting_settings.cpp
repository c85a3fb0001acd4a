#include "settings/starting_settings.hpp"

#include <filesystem>

#include "cli/dialog_error.hpp"
#include "cli/messages.hpp"
#include "cups/queue_defaults.hpp"
#include "settings/settings_file.hpp"

namespace kvx::dialog {
namespace {

bool IsSameFile(const std::string &first, const std::string &second) {
    std::error_code error;
    return first == second || std::filesystem::equivalent(first, second, error);
}

// The queue's defaults for a CUPS printer; a PPD file alone has none here.
void LoadDefaults(const Options &options, const std::string &ppdPath, CFMutableDictionaryRef ppdDict) {
    if (options.printerQueue) LoadQueueDefaults(*options.printerQueue, ppdPath, ppdDict);
}

}  // namespace

void LoadStartingSettings(const Options &options, const std::string &ppdPath, CFMutableDictionaryRef ppdDict) {
    if (!options.settingsPath) {
        LoadDefaults(options, ppdPath, ppdDict);
        return;
    }
    try {
        LoadSettingsFile(*options.settingsPath, ppdDict);
    } catch (const DialogError &error) {
        if (!options.ignoreBadSettings) throw;
        if (options.savePath && IsSameFile(*options.savePath, *options.settingsPath)) {
            throw DialogError(kExitUsage, std::string(error.what()) + "; --save would overwrite it, so nothing is done");
        }
        ReportMessage(std::string(error.what()) + "; starting from the defaults, as --ignore-bad-settings asks");
        LoadDefaults(options, ppdPath, ppdDict);
    }
}

}  // namespace kvx::dialog
