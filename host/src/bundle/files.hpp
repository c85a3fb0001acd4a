// Small file helpers for the bundle module: whole-file reads and the
// error strings that the C API hands back.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "CoreFoundation.h"

namespace kvx::host {

// The file's bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path &path);
// Stores a new string with the message in *outError when outError is given.
void SetError(CFStringRef *outError, std::string_view message);

}  // namespace kvx::host
