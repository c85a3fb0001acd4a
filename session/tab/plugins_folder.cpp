#include "session/tab/plugins_folder.hpp"

#include <dlfcn.h>

#include <filesystem>

namespace kvx::session {

std::string FindPlugInsFolder(std::string_view installedFromLibrary, std::string_view buildFolder) {
    Dl_info self{};
    std::error_code error;
    if (dladdr(reinterpret_cast<const void *>(&FindPlugInsFolder), &self) != 0 && self.dli_fname != nullptr) {
        const std::filesystem::path installed =
            std::filesystem::path(self.dli_fname).parent_path() / installedFromLibrary;
        if (std::filesystem::is_directory(installed, error)) return std::filesystem::weakly_canonical(installed, error);
    }
    return std::string(buildFolder);
}

}  // namespace kvx::session
