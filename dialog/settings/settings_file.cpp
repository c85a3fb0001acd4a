#include "dialog/settings/settings_file.hpp"

#include "KVXHostSupport.hpp"
#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"

namespace kvx::dialog {
namespace {

void CopyEntry(const void *key, const void *value, void *ppdDict) {
    CFDictionarySetValue(static_cast<CFMutableDictionaryRef>(ppdDict), key, value);
}

std::string Reason(const CFHolder<CFStringRef> &error) {
    return error ? ": " + ToUTF8(error.get()) : std::string();
}

}  // namespace

void LoadSettingsFile(const std::string &path, CFMutableDictionaryRef ppdDict) {
    CFHolder<CFStringRef> error;
    const CFHolder<CFPropertyListRef> settings(KVXPropertyListCreateFromFile(path.c_str(), error.out()));
    if (!settings) throw DialogError(kExitUsage, "cannot read the settings file " + Quoted(path) + Reason(error));
    if (CFGetTypeID(settings.get()) != CFDictionaryGetTypeID()) {
        throw DialogError(kExitUsage, "the settings file " + Quoted(path) + " does not hold a dictionary");
    }
    CFDictionaryApplyFunction(static_cast<CFDictionaryRef>(settings.get()), CopyEntry, ppdDict);
}

void SaveSettingsFile(CFDictionaryRef ppdDict, const std::string &path) {
    CFHolder<CFStringRef> error;
    if (!KVXPropertyListWriteToFile(ppdDict, path.c_str(), error.out())) {
        throw DialogError(kExitUsage, "cannot write the settings file " + Quoted(path) + Reason(error));
    }
}

}  // namespace kvx::dialog
