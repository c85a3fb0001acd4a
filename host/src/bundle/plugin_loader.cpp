// The plug-in loader: finds the bundles in a plug-ins folder that register
// factories for a type, loads their executables and calls the factories,
// the registration route a print dialog takes.
#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "KVXHost.h"
#include "KVXHostSupport.hpp"
#include "core/strings.hpp"

namespace kvx::host {
namespace {

constexpr std::string_view kBundleExtension = ".plugin";
constexpr const char *kPlugInTypesKey = "CFPlugInTypes";
constexpr const char *kPlugInFactoriesKey = "CFPlugInFactories";

using FactoryFunction = void *(*)(CFAllocatorRef allocator, CFUUIDRef typeID);

struct LoadReport {
    KVXPlugInLoadCallBack callback;
    void *info;
    CFIndex instances = 0;

    void instanceMade(const std::string &bundlePath, void *instance) {
        ++instances;
        if (callback != nullptr) callback(bundlePath.c_str(), instance, nullptr, info);
    }
    void failed(const std::string &bundlePath, CFStringRef error) const {
        if (callback != nullptr) callback(bundlePath.c_str(), nullptr, error, info);
    }
    void failed(const std::string &bundlePath, const std::string &message) const {
        const CFHolder<CFStringRef> error(CreateStringFromUTF8(message));
        failed(bundlePath, error.get());
    }
};

std::string UUIDText(CFUUIDRef uuid) {
    const CFHolder<CFStringRef> text(CFUUIDCreateString(nullptr, uuid));
    return ToUTF8(text.get());
}

// The value whose key is a UUID string equal to uuid (in any letter case);
// borrowed, or null.
CFTypeRef ValueForUUIDKey(CFTypeRef dictionary, CFUUIDRef uuid) {
    if (dictionary == nullptr || CFGetTypeID(dictionary) != CFDictionaryGetTypeID()) return nullptr;
    struct Search {
        CFUUIDRef uuid;
        CFTypeRef found;
    } search{uuid, nullptr};
    CFDictionaryApplyFunction(
        static_cast<CFDictionaryRef>(dictionary),
        [](const void *key, const void *value, void *context) {
            auto &search = *static_cast<Search *>(context);
            if (search.found != nullptr || CFGetTypeID(key) != CFStringGetTypeID()) return;
            const CFHolder<CFUUIDRef> keyUUID(CFUUIDCreateFromString(nullptr, static_cast<CFStringRef>(key)));
            if (keyUUID && CFEqual(keyUUID.get(), search.uuid)) search.found = value;
        },
        &search);
    return search.found;
}

// Loads the bundle's executable once, for the rest of the process.
void *OpenExecutable(CFBundleRef bundle, const std::string &bundleName, std::string &error) {
    const CFHolder<CFStringRef> executable(KVXBundleCopyExecutablePath(bundle));
    if (!executable) {
        error = "the bundle " + bundleName + " names no executable (CFBundleExecutable) in Contents/MacOS";
        return nullptr;
    }
    const std::string path = ToUTF8(executable.get());
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        error = "the executable " + path + " of the bundle " + bundleName + " is missing";
        return nullptr;
    }
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char *why = dlerror();
        error = "the executable of the bundle " + bundleName + " cannot be loaded: " + (why != nullptr ? why : path);
    }
    return handle;
}

void LoadBundle(const std::filesystem::path &bundleFolder, CFUUIDRef typeID, LoadReport &report) {
    const std::string bundlePath = bundleFolder.string();
    const std::string bundleName = bundleFolder.filename().string();
    CFHolder<CFStringRef> openError;
    CFBundleRef bundle = KVXBundleOpen(bundlePath.c_str(), openError.out());
    if (bundle == nullptr) return report.failed(bundlePath, openError.get());

    // UUID texts are made only for messages: a load that works needs none.
    const CFTypeRef types = CFBundleGetValueForInfoDictionaryKey(bundle, __CFStringMakeConstantString(kPlugInTypesKey));
    const CFTypeRef factoryIDs = ValueForUUIDKey(types, typeID);
    if (factoryIDs == nullptr || CFGetTypeID(factoryIDs) != CFArrayGetTypeID() ||
        CFArrayGetCount(static_cast<CFArrayRef>(factoryIDs)) == 0)
        return report.failed(bundlePath,
                             "the bundle " + bundleName + " registers no factory for the plug-in type " + UUIDText(typeID));

    const CFTypeRef factories =
        CFBundleGetValueForInfoDictionaryKey(bundle, __CFStringMakeConstantString(kPlugInFactoriesKey));
    void *executable = nullptr;
    const auto factoryList = static_cast<CFArrayRef>(factoryIDs);
    for (CFIndex index = 0; index < CFArrayGetCount(factoryList); ++index) {
        const CFTypeRef factoryText = CFArrayGetValueAtIndex(factoryList, index);
        const CFHolder<CFUUIDRef> factoryID(
            factoryText != nullptr && CFGetTypeID(factoryText) == CFStringGetTypeID()
                ? CFUUIDCreateFromString(nullptr, static_cast<CFStringRef>(factoryText))
                : nullptr);
        if (!factoryID) {
            report.failed(bundlePath, "the bundle " + bundleName + " lists a factory of the type " + UUIDText(typeID) +
                                          " that is not a UUID string");
            continue;
        }
        const CFTypeRef function = ValueForUUIDKey(factories, factoryID.get());
        if (function == nullptr || CFGetTypeID(function) != CFStringGetTypeID()) {
            report.failed(bundlePath, "the factory " + UUIDText(factoryID.get()) + " of the bundle " + bundleName +
                                          " is not listed in its CFPlugInFactories");
            continue;
        }
        if (executable == nullptr) {
            std::string error;
            executable = OpenExecutable(bundle, bundleName, error);
            if (executable == nullptr) return report.failed(bundlePath, error);
        }
        const std::string functionName = ToUTF8(static_cast<CFStringRef>(function));
        dlerror();
        void *symbol = dlsym(executable, functionName.c_str());
        if (symbol == nullptr) {
            const char *why = dlerror();
            report.failed(bundlePath, "the factory function " + functionName + " of the bundle " + bundleName +
                                          " is not in its executable" + (why != nullptr ? std::string(": ") + why : ""));
            continue;
        }
        void *instance = reinterpret_cast<FactoryFunction>(symbol)(nullptr, typeID);
        if (instance == nullptr) {
            report.failed(bundlePath, "the factory function " + functionName + " of the bundle " + bundleName +
                                          " made no instance of the type " + UUIDText(typeID));
            continue;
        }
        report.instanceMade(bundlePath, instance);
    }
}

}  // namespace
}  // namespace kvx::host

extern "C" CFIndex KVXLoadPlugInsForType(const char *folder, CFUUIDRef typeID, KVXPlugInLoadCallBack callback,
                                         void *info) {
    if (folder == nullptr) return -1;
    std::vector<std::filesystem::path> bundles;
    std::error_code failure;
    for (std::filesystem::directory_iterator entries(folder, failure), end; !failure && entries != end;
         entries.increment(failure)) {
        if (entries->path().filename().string().ends_with(kvx::host::kBundleExtension))
            bundles.push_back(entries->path());
    }
    if (failure) return -1;
    std::sort(bundles.begin(), bundles.end());

    kvx::host::LoadReport report{callback, info};
    for (const auto &bundle : bundles) kvx::host::LoadBundle(bundle, typeID, report);
    return report.instances;
}
