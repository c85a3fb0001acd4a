#include "dialog/cups/ppd_defaults.hpp"

#include <string>

#include "KVXHostSupport.hpp"
#include "session/options/din_policy.hpp"

// See ppd_file.hpp: the queue's PPD is where its administrator's defaults are.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kvx::dialog {

void LoadPPDDefaults(const session::PPDFile &ppd, CFMutableDictionaryRef ppdDict) {
    if (!ppd) return;
    for (const std::string_view key : session::DinPolicy::PlainKeys()) {
        const std::string name(key);
        const ppd_option_t *option = ppdFindOption(ppd.get(), name.c_str());
        if (option == nullptr || option->defchoice[0] == '\0') continue;
        const CFHolder<CFStringRef> keyString(CFStringCreateWithCString(nullptr, name.c_str(), kCFStringEncodingUTF8));
        const CFHolder<CFStringRef> value(CFStringCreateWithCString(nullptr, option->defchoice, kCFStringEncodingUTF8));
        if (keyString && value) CFDictionarySetValue(ppdDict, keyString.get(), value.get());
    }
}

}  // namespace kvx::dialog
