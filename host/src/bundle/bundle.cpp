// Opening bundles: each canonical folder is opened once and stays open for
// the process; lookups by identifier prefer the most recently opened.
#include "bundle.hpp"

#include <algorithm>
#include <memory>
#include <vector>

#include "KVXHost.h"
#include "core/strings.hpp"
#include "files.hpp"
#include "property_list.hpp"

namespace kvx::host {
namespace {

constexpr const char *kInfoPlistName = "Info.plist";
constexpr const char *kExecutableFolderName = "MacOS";
constexpr const char *kIdentifierKey = "CFBundleIdentifier";
constexpr const char *kExecutableKey = "CFBundleExecutable";

CFStringRef InfoKey(const char *name) { return __CFStringMakeConstantString(name); }

// Every opened bundle, oldest first; re-opening moves a bundle to the end.
struct OpenedBundles {
    std::mutex mutex;
    std::vector<Bundle *> byAge;
};

// Never destroyed: opened bundles live as long as the process, up to its
// very end.
OpenedBundles &Opened() {
    static OpenedBundles &opened = *std::make_unique<OpenedBundles>().release();
    return opened;
}

CFStringRef CreatePathString(const std::filesystem::path &path) { return CreateStringFromUTF8(path.string()); }

// Reads and checks Contents/Info.plist; the dictionary is made constant.
CFDictionaryRef ReadInfo(const std::filesystem::path &folder, std::string &error) {
    const std::filesystem::path infoPath = folder / "Contents" / kInfoPlistName;
    const auto bytes = ReadWholeFile(infoPath);
    if (!bytes) {
        error = "the bundle " + folder.string() + " has no readable Contents/Info.plist";
        return nullptr;
    }
    std::string why;
    CFPropertyListRef info = CreatePropertyListFromBytes(*bytes, why);
    if (info == nullptr) {
        error = "the bundle's " + infoPath.string() + " is malformed: " + why;
        return nullptr;
    }
    if (CFGetTypeID(info) != CFDictionaryGetTypeID()) {
        CFRelease(info);
        error = "the bundle's " + infoPath.string() + " is not a dictionary at its top level";
        return nullptr;
    }
    const auto identifier = CFDictionaryGetValue(static_cast<CFDictionaryRef>(info), InfoKey(kIdentifierKey));
    if (identifier == nullptr || CFGetTypeID(identifier) != CFStringGetTypeID() ||
        CFStringGetLength(static_cast<CFStringRef>(identifier)) == 0) {
        CFRelease(info);
        error = "the bundle's " + infoPath.string() + " has no CFBundleIdentifier string";
        return nullptr;
    }
    MakePropertyListConstant(info);
    return static_cast<CFDictionaryRef>(info);
}

}  // namespace

CFTypeID Bundle::Type() {
    static const CFTypeID type = RegisterType("CFBundle");
    return type;
}

Bundle::Bundle(std::filesystem::path folder, CFDictionaryRef info)
    : Object(Type()), folder_(std::move(folder)), resourcesFolder_(contentsFolder() / "Resources"), info_(info) {}

CFStringRef Bundle::identifier() const {
    return static_cast<CFStringRef>(CFDictionaryGetValue(info_, InfoKey(kIdentifierKey)));
}

std::optional<std::filesystem::path> Bundle::executablePath() const {
    const auto name = CFDictionaryGetValue(info_, InfoKey(kExecutableKey));
    if (name == nullptr || CFGetTypeID(name) != CFStringGetTypeID()) return std::nullopt;
    const std::filesystem::path fileName = ToUTF8(static_cast<CFStringRef>(name));
    // A name from the file must not lead out of Contents/MacOS.
    if (fileName.empty() || fileName != fileName.filename() || fileName == "." || fileName == "..")
        return std::nullopt;
    return contentsFolder() / kExecutableFolderName / fileName;
}

CFDictionaryRef Bundle::table(const std::string &name, const std::function<CFDictionaryRef()> &load) {
    std::lock_guard lock(tablesMutex_);
    const auto found = tables_.find(name);
    if (found != tables_.end()) return found->second;
    return tables_.emplace(name, load()).first->second;
}

std::u16string Bundle::describe() const { return FromUTF8("<CFBundle " + folder_.string() + ">"); }

Bundle *BundleFrom(CFBundleRef bundle) { return As<Bundle>(bundle, Bundle::Type()); }

}  // namespace kvx::host

using kvx::host::Bundle;
using kvx::host::BundleFrom;

extern "C" {

CFTypeID CFBundleGetTypeID(void) { return Bundle::Type(); }

CFBundleRef KVXBundleOpen(const char *path, CFStringRef *outError) {
    if (path == nullptr) {
        kvx::host::SetError(outError, "no bundle folder was named");
        return nullptr;
    }
    std::error_code failure;
    const std::filesystem::path folder = std::filesystem::canonical(path, failure);
    if (failure) {
        kvx::host::SetError(outError, std::string("the bundle folder ") + path + " does not exist");
        return nullptr;
    }
    if (!std::filesystem::is_directory(folder, failure)) {
        kvx::host::SetError(outError, std::string("the bundle ") + path + " is not a folder");
        return nullptr;
    }

    auto &opened = kvx::host::Opened();
    std::lock_guard lock(opened.mutex);
    const auto known = std::find_if(opened.byAge.begin(), opened.byAge.end(),
                                    [&folder](const Bundle *bundle) { return bundle->folder() == folder; });
    if (known != opened.byAge.end()) {
        Bundle *bundle = *known;
        opened.byAge.erase(known);
        opened.byAge.push_back(bundle);
        return reinterpret_cast<CFBundleRef>(bundle);
    }

    std::string error;
    CFDictionaryRef info = kvx::host::ReadInfo(folder, error);
    if (info == nullptr) {
        kvx::host::SetError(outError, error);
        return nullptr;
    }
    Bundle *bundle = kvx::host::Create<Bundle>(folder, info);
    bundle->makeConstant();
    opened.byAge.push_back(bundle);
    return reinterpret_cast<CFBundleRef>(bundle);
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID) {
    if (bundleID == nullptr) return nullptr;
    auto &opened = kvx::host::Opened();
    std::lock_guard lock(opened.mutex);
    const auto found = std::find_if(opened.byAge.rbegin(), opened.byAge.rend(), [bundleID](const Bundle *bundle) {
        return CFEqual(bundle->identifier(), bundleID);
    });
    return found == opened.byAge.rend() ? nullptr : reinterpret_cast<CFBundleRef>(*found);
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
    const Bundle *opened = BundleFrom(bundle);
    return opened == nullptr ? nullptr : opened->identifier();
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key) {
    const Bundle *opened = BundleFrom(bundle);
    if (opened == nullptr || key == nullptr) return nullptr;
    return CFDictionaryGetValue(opened->info(), key);
}

CFStringRef KVXBundleCopyPath(CFBundleRef bundle) {
    const Bundle *opened = BundleFrom(bundle);
    return opened == nullptr ? nullptr : kvx::host::CreatePathString(opened->folder());
}

CFStringRef KVXBundleCopyExecutablePath(CFBundleRef bundle) {
    const Bundle *opened = BundleFrom(bundle);
    if (opened == nullptr) return nullptr;
    const auto executable = opened->executablePath();
    return executable ? kvx::host::CreatePathString(*executable) : nullptr;
}

CFStringRef KVXBundleCopyResourcesPath(CFBundleRef bundle) {
    const Bundle *opened = BundleFrom(bundle);
    return opened == nullptr ? nullptr : kvx::host::CreatePathString(opened->resourcesFolder());
}

}  // extern "C"
