#include "files.hpp"

#include <fstream>
#include <iterator>

#include "core/strings.hpp"

namespace kvx::host {

std::optional<std::string> ReadWholeFile(const std::filesystem::path &path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) return std::nullopt;
    return bytes;
}

void SetError(CFStringRef *outError, std::string_view message) {
    if (outError != nullptr) *outError = CreateStringFromUTF8(message);
}

}  // namespace kvx::host
