// An opened bundle folder (NAME.plugin/Contents/...): its Info.plist, its
// paths, and the string tables read from it so far.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "CoreFoundation.h"
#include "core/object.hpp"

namespace kvx::host {

class Bundle final : public Object {
public:
    static CFTypeID Type();

    // Takes the Info dictionary, which must already be constant.
    Bundle(std::filesystem::path folder, CFDictionaryRef info);

    const std::filesystem::path &folder() const { return folder_; }
    std::filesystem::path contentsFolder() const { return folder_ / "Contents"; }
    // Worked out once: a pane asks for it on every open.
    const std::filesystem::path &resourcesFolder() const { return resourcesFolder_; }
    CFDictionaryRef info() const { return info_; }
    CFStringRef identifier() const;
    // Contents/MacOS/<CFBundleExecutable>; nullopt when Info.plist names
    // none, or names something other than a plain file name.
    std::optional<std::filesystem::path> executablePath() const;

    // The string table of that name: made by load() on first use (a
    // constant, or null for a missing or malformed table) and kept.
    CFDictionaryRef table(const std::string &name, const std::function<CFDictionaryRef()> &load);

    std::u16string describe() const override;

private:
    std::filesystem::path folder_;
    std::filesystem::path resourcesFolder_;
    CFDictionaryRef info_;
    std::mutex tablesMutex_;
    std::map<std::string, CFDictionaryRef> tables_;
};

// The bundle behind a reference, or null when it is not a bundle.
Bundle *BundleFrom(CFBundleRef bundle);

}  // namespace kvx::host
