// A plug-ins folder with bundles that cannot work: each is reported on its
// own, and the good bundle beside them still loads and shows its pane.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "info_plist.hpp"
#include "pane_harness.hpp"

namespace kvx::test {
namespace {

namespace fs = std::filesystem;

std::string PlugInInfo(std::string_view executable, std::string_view function) {
    return PlugInInfoPlist(executable, function, kPMPDETypeIDStr, "0C5D83A1-6E2B-4F70-9A1D-3B8C7E6F5A42");
}

class HostilePlugIns : public PaneTest {
protected:
    // Writes a bundle with this Info.plist and executable bytes copied from source.
    void Bundle(const std::string &name, std::string_view info, const fs::path &source) const {
        const fs::path macOS = folder_.path() / name / "Contents" / "MacOS";
        fs::create_directories(macOS);
        folder_.write(name + "/Contents/Info.plist", info);
        fs::copy_file(source, macOS / "libHostile.so");
    }
    TempFolder folder_;
};

TEST_F(HostilePlugIns, BrokenBundlesAreReportedAndTheGoodOneStillShowsItsPane) {
    // Root reads files of any mode, so a folder where the file belongs is
    // what stays unreadable for every user.
    fs::create_directories(folder_.path() / "a-unreadable-info.plugin" / "Contents" / "Info.plist");
    fs::create_directories(folder_.path() / "b-dangling-contents.plugin");
    fs::create_symlink(folder_.path() / "nowhere", folder_.path() / "b-dangling-contents.plugin" / "Contents");
    Bundle("c-program-not-library.plugin", PlugInInfo("libHostile.so", "CreatePDEFactory"), "/proc/self/exe");
    Bundle("d-null-factory.plugin", PlugInInfo("libHostile.so", "NullFactory"), KVX_NULL_FACTORY);
    if (geteuid() != 0) {
        Bundle("e-unreadable-executable.plugin", PlugInInfo("libHostile.so", "NullFactory"), KVX_NULL_FACTORY);
        fs::permissions(folder_.path() / "e-unreadable-executable.plugin/Contents/MacOS/libHostile.so",
                        fs::perms::none);
    }
    fs::copy(KVX_BUNDLE_DIR, folder_.path() / "z-good.plugin", fs::copy_options::recursive);

    kvx::test::LoadedPlugIn plugIns(folder_.path().string());
    ASSERT_TRUE(plugIns.loaded()) << plugIns.errors();
    const std::string errors = plugIns.errors();
    for (const char *broken : {"a-unreadable-info", "b-dangling-contents", "c-program-not-library", "d-null-factory"})
        EXPECT_NE(errors.find(std::string(broken) + ".plugin: "), std::string::npos) << broken << " in\n" << errors;
    EXPECT_NE(errors.find("made no instance"), std::string::npos) << errors;
    if (geteuid() != 0) {
        EXPECT_NE(errors.find("e-unreadable-executable.plugin: "), std::string::npos) << errors;
    }
    EXPECT_EQ(errors.find("z-good"), std::string::npos) << errors;

    ASSERT_NO_FATAL_FAILURE(Show(folder_.path().string()));
    EXPECT_EQ(SyncToTicket(), noErr);
}

}  // namespace
}  // namespace kvx::test
