#include "options.hpp"

#include <cstdlib>
#include <string_view>

#include "default_locations.hpp"
#include "dialog_error.hpp"
#include "messages.hpp"

namespace kvx::dialog {
namespace {

constexpr std::string_view kHelpOption = "--help";
constexpr std::string_view kPPDOption = "--ppd";
constexpr std::string_view kPlugInsOption = "--plugins";
constexpr std::string_view kSettingsOption = "--settings";
constexpr std::string_view kSaveOption = "--save";
constexpr std::string_view kScriptOption = "--script";
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
    return nullptr;
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

    for (size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        if (argument == kHelpOption) {
            options.helpRequested = true;
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
    }

    if (options.helpRequested) return options;
    if (options.screenshotPath && !scriptGiven) FailUsage("--screenshot needs --script FILE");
    if (options.screenshotPath) options.windowRequested = true;
    if (!scriptGiven && !options.windowRequested) {
        if (!HasDisplay()) FailUsage("--script FILE (or - for stdin) is required without a display");
        options.windowRequested = true;
    }
    return options;
}

}  // namespace kvx::dialog
