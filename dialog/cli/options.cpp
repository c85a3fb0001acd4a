#include "dialog/cli/options.hpp"

#include <cstdlib>
#include <string_view>

#include "dialog/cli/default_locations.hpp"
#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"

namespace kvx::dialog {
namespace {

constexpr std::string_view kHelpOption = "--help";
constexpr std::string_view kPPDOption = "--ppd";
constexpr std::string_view kPlugInsOption = "--plugins";
constexpr std::string_view kSettingsOption = "--settings";
constexpr std::string_view kSaveOption = "--save";
constexpr std::string_view kScriptOption = "--script";
constexpr std::string_view kPrinterOption = "--printer";
constexpr std::string_view kListPrintersOption = "--list-printers";
constexpr std::string_view kJsonOption = "--json";
constexpr std::string_view kLpOptionsOption = "--lp-options";
constexpr std::string_view kSaveDefaultsOption = "--save-defaults";
constexpr std::string_view kPrintOption = "--print";
constexpr std::string_view kIgnoreBadSettingsOption = "--ignore-bad-settings";
constexpr std::string_view kWindowOption = "--gui";
constexpr std::string_view kScreenshotOption = "--screenshot";
constexpr std::string_view kWindowTraceOption = "--gui-trace";
constexpr const char *kDisplayVariables[] = {"DISPLAY", "WAYLAND_DISPLAY"};
constexpr std::string_view kUsageHint = "; see kvx-dialog --help";

[[noreturn]] void FailUsage(const std::string &message) {
    throw DialogError(kExitUsage, message + std::string(kUsageHint));
}

// The option's value slot, or null for an unknown option.
std::string *ValueSlotFor(std::string_view name, Options &options) {
    if (name == kPPDOption) return &options.ppdPath;
    if (name == kPlugInsOption) return &options.plugInsFolder;
    if (name == kScriptOption) return &options.scriptPath;
    if (name == kSettingsOption) return &options.settingsPath.emplace();
    if (name == kSaveOption) return &options.savePath.emplace();
    if (name == kScreenshotOption) return &options.screenshotPath.emplace();
    if (name == kPrinterOption) return &options.printerQueue.emplace();
    if (name == kPrintOption) return &options.printPath.emplace();
    return nullptr;
}

// The switch's flag, or null when name is no switch of these.
bool *FlagFor(std::string_view name, Options &options) {
    if (name == kHelpOption) return &options.helpRequested;
    if (name == kListPrintersOption) return &options.listPrinters;
    if (name == kJsonOption) return &options.json;
    if (name == kLpOptionsOption) return &options.lpOptions;
    if (name == kSaveDefaultsOption) return &options.saveDefaults;
    if (name == kIgnoreBadSettingsOption) return &options.ignoreBadSettings;
    return nullptr;
}

// The CUPS options that make sense only together, or not together.
// In the window the person may still choose a queue before Print.
void CheckPrinterCombinations(const Options &options, bool ppdGiven) {
    if (ppdGiven && options.printerQueue) FailUsage("--ppd and --printer name two printers; give one");
    if (!options.printerQueue && !options.windowRequested && (options.printPath || options.saveDefaults)) {
        FailUsage("--print and --save-defaults need a CUPS queue: --printer QUEUE");
    }
}

bool HasDisplay() {
    for (const char *variable : kDisplayVariables) {
        const char *value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

Options ParseOptions(std::span<char *const> arguments) {
    const DefaultLocations defaults = GetDefaultLocations();
    Options options;
    options.ppdPath = defaults.ppdPath;
    options.plugInsFolder = defaults.plugInsFolder;
    bool scriptGiven = false;
    bool ppdGiven = false;

    for (size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        if (bool *flag = FlagFor(argument, options)) {
            *flag = true;
            continue;
        }
        if (argument == kWindowOption) {
            options.windowRequested = true;
            continue;
        }
        if (argument == kWindowTraceOption) {
            options.windowTrace = true;
            continue;
        }
        // A file to print, as a desktop's "Open with" gives it: --print FILE.
        if (!argument.starts_with("-")) {
            if (options.printPath) FailUsage("one file to print, not two: " + Quoted(argument));
            options.printPath = argument;
            continue;
        }
        // Both "--name VALUE" and "--name=VALUE".
        const size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        std::string *slot = ValueSlotFor(name, options);
        if (slot == nullptr) FailUsage("unknown option " + Quoted(argument));
        if (equals != std::string_view::npos) {
            *slot = argument.substr(equals + 1);
        } else if (index + 1 < arguments.size()) {
            *slot = arguments[++index];
        } else {
            FailUsage(std::string(name) + " needs a value");
        }
        if (slot->empty()) FailUsage(std::string(name) + " needs a value");
        if (name == kScriptOption) scriptGiven = true;
        if (name == kPPDOption) ppdGiven = true;
    }
    options.printerNamed = ppdGiven || options.printerQueue.has_value();

    if (options.helpRequested) return options;
    if (options.listPrinters) {
        CheckPrinterCombinations(options, ppdGiven);
        return options;
    }
    if (options.screenshotPath && !scriptGiven) FailUsage("--screenshot needs --script FILE");
    if (options.screenshotPath) options.windowRequested = true;
    if (!scriptGiven && !options.windowRequested) {
        if (!HasDisplay()) FailUsage("--script FILE (or - for stdin) is required without a display");
        options.windowRequested = true;
    }
    CheckPrinterCombinations(options, ppdGiven);
    return options;
}

}  // namespace kvx::dialog
