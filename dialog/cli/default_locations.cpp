#include "dialog/cli/default_locations.hpp"

#include <filesystem>
#include <system_error>

namespace kvx::dialog {
namespace {

namespace fs = std::filesystem;

constexpr const char *kExecutableLink = "/proc/self/exe";
// An installed dialog is PREFIX/bin/kvx-dialog; these are relative to PREFIX.
constexpr const char *kInstalledPlugInsFolder = KVX_INSTALLED_PLUGINS_DIR;
constexpr const char *kInstalledSamplePPD = KVX_INSTALLED_PPD;
constexpr const char *kInstalledWindowModule = KVX_INSTALLED_WINDOW_MODULE;

}  // namespace

// The installed locations beside the executable when they are there, so that
// an installed dialog works wherever its prefix is; else the build tree's
// bundle folder, the source tree's sample PPD and the built window module,
// as the build configured them.
DefaultLocations GetDefaultLocations() {
    std::error_code error;
    const fs::path executable = fs::read_symlink(kExecutableLink, error);
    if (!error) {
        const fs::path prefix = executable.parent_path().parent_path();
        const fs::path plugIns = prefix / kInstalledPlugInsFolder;
        const fs::path ppd = prefix / kInstalledSamplePPD;
        if (fs::is_directory(plugIns, error) && fs::is_regular_file(ppd, error)) {
            return DefaultLocations{ppd.string(), plugIns.string(), (prefix / kInstalledWindowModule).string()};
        }
    }
    return DefaultLocations{KVX_DEFAULT_PPD, KVX_DEFAULT_PLUGINS_DIR, KVX_BUILD_WINDOW_MODULE};
}

}  // namespace kvx::dialog
