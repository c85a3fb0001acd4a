// Property-list files: reading XML or binary, writing XML through a
// temporary file so that a failed write never damages the target.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "KVXHost.h"
#include "files.hpp"
#include "property_list.hpp"

namespace kvx::host {
namespace {

constexpr std::string_view kTemporarySuffix = ".XXXXXX";
constexpr mode_t kNewFileMode = 0644;

std::string SystemError() { return std::strerror(errno); }

bool WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes bytes next to path under a unique name, then renames it over path.
bool ReplaceFileContents(const std::string &path, std::string_view bytes, std::string &error) {
    std::string temporaryName = path + std::string(kTemporarySuffix);
    std::vector<char> pattern(temporaryName.begin(), temporaryName.end());
    pattern.push_back('\0');
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) {
        error = "cannot create a temporary file beside it: " + SystemError();
        return false;
    }
    temporaryName.assign(pattern.data());
    const bool written = WriteAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    const std::string writeError = written ? std::string() : SystemError();
    const bool closed = ::close(descriptor) == 0;
    if (!written || !closed) {
        error = "cannot write the temporary file: " + (written ? SystemError() : writeError);
        ::unlink(temporaryName.c_str());
        return false;
    }
    // mkstemp makes the file private: keep the target's mode, or make an
    // ordinary readable file.
    struct stat target {};
    ::chmod(temporaryName.c_str(), ::stat(path.c_str(), &target) == 0 ? target.st_mode & 07777 : kNewFileMode);
    if (std::rename(temporaryName.c_str(), path.c_str()) != 0) {
        error = "cannot replace it: " + SystemError();
        ::unlink(temporaryName.c_str());
        return false;
    }
    return true;
}

}  // namespace
}  // namespace kvx::host

using kvx::host::SetError;

extern "C" {

CFPropertyListRef KVXPropertyListCreateFromFile(const char *path, CFStringRef *outError) {
    if (path == nullptr) {
        SetError(outError, "no property-list file was named");
        return nullptr;
    }
    const auto bytes = kvx::host::ReadWholeFile(path);
    if (!bytes) {
        SetError(outError, std::string("cannot read the property-list file ") + path);
        return nullptr;
    }
    std::string error;
    CFPropertyListRef plist = kvx::host::CreatePropertyListFromBytes(*bytes, error);
    if (plist == nullptr) SetError(outError, std::string("cannot use the property-list file ") + path + ": " + error);
    return plist;
}

Boolean KVXPropertyListWriteToFile(CFPropertyListRef plist, const char *path, CFStringRef *outError) {
    if (path == nullptr) {
        SetError(outError, "no property-list file was named");
        return false;
    }
    std::string xml;
    std::string error;
    if (!kvx::host::PropertyListToXML(plist, xml, error) || !kvx::host::ReplaceFileContents(path, xml, error)) {
        SetError(outError, std::string("cannot write the property-list file ") + path + ": " + error);
        return false;
    }
    return true;
}

}  // extern "C"
