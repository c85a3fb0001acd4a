// `cmake --install` gives a kvx-dialog that runs from its prefix without
// flags, wherever the prefix is moved, using the bundle and PPD installed
// beside it rather than the build tree's.
#include <gmock/gmock.h>

#include "private_scheduler.hpp"

namespace kvx::test {
namespace {

using ::testing::HasSubstr;

constexpr std::string_view kScript = "show\nok\n";

CommandResult RunInstalledDialog(const std::filesystem::path &prefix, const std::filesystem::path &script) {
    return RunShell(ShellWord((prefix / "bin" / "kvx-dialog").string()) + " --script " + ShellWord(script.string()));
}

TEST(InstalledDialog, RunsFromItsPrefixWithItsOwnBundleAndPPD) {
    const TempFolder folder;
    const std::filesystem::path prefix = folder.path() / "prefix";
    const CommandResult installed =
        RunShell("cmake --install " + ShellWord(KVX_BINARY_DIR) + " --prefix " + ShellWord(prefix.string()));
    ASSERT_EQ(installed.exitStatus, 0) << installed.out;
    EXPECT_TRUE(std::filesystem::is_regular_file(prefix / "share/man/man1/kvx-dialog.1"));
    const std::filesystem::path script = folder.write("run.script", kScript);

    // Moved elsewhere, it still finds everything relative to itself.
    const std::filesystem::path moved = folder.path() / "moved";
    std::filesystem::rename(prefix, moved);
    const CommandResult shown = RunInstalledDialog(moved, script);
    ASSERT_EQ(shown.exitStatus, 0) << shown.out;
    EXPECT_THAT(shown.out, HasSubstr("\"print-mode\""));
    // Its window module loads from there too: without a display it says so.
    const CommandResult window = RunShell("env -u DISPLAY -u WAYLAND_DISPLAY " +
                                          ShellWord((moved / "bin" / "kvx-dialog").string()) + " --gui 2>&1");
    EXPECT_EQ(window.exitStatus, 2) << window.out;
    EXPECT_THAT(window.out, HasSubstr("--gui needs a display"));

    // It reads the installed sample PPD: another model's there hides the pane.
    std::filesystem::copy_file(std::filesystem::path(KVX_SOURCE_DIR) / "resources/ppd/korvane-rm2200.ppd",
                               moved / "share/ppd/korvane/korvane-rm4750.ppd",
                               std::filesystem::copy_options::overwrite_existing);
    const CommandResult otherModel = RunInstalledDialog(moved, script);
    EXPECT_EQ(otherModel.exitStatus, 3) << otherModel.out;
    EXPECT_THAT(otherModel.out, HasSubstr("Korvane RM-2200"));
}

}  // namespace
}  // namespace kvx::test
