// A plug-ins folder with bundles that cannot work: each is reported on its
// own, and the good bundle beside them still loads and shows its pane.
#include <gmock/gmock.h>
#include <unistd.h>

#include "info_plist.hpp"
#include "live_object_check.hpp"
#include "session/printing/pane_host.hpp"
#include "temp_folder.hpp"

namespace kvx::test {
namespace {

namespace fs = std::filesystem;

using HostilePlugIns = LiveObjectCheck;

TEST_F(HostilePlugIns, BrokenBundlesAreReportedAndTheGoodOneStillShowsItsPane) {
    const TempFolder folder;
    // Writes a bundle whose executable is a copy of `source`.
    const auto bundle = [&](const std::string &name, std::string_view function, const fs::path &source) {
        fs::create_directories(folder.path() / name / "Contents/MacOS");
        folder.write(name + "/Contents/Info.plist", PlugInInfoPlist("libHostile.so", function, kPMPDETypeIDStr,
                                                                    "0C5D83A1-6E2B-4F70-9A1D-3B8C7E6F5A42"));
        fs::copy_file(source, folder.path() / name / "Contents/MacOS/libHostile.so");
    };
    // Root reads files of any mode, so a folder where the file belongs is
    // what stays unreadable for every user.
    fs::create_directories(folder.path() / "a-unreadable-info.plugin/Contents/Info.plist");
    fs::create_directories(folder.path() / "b-dangling-contents.plugin");
    fs::create_symlink(folder.path() / "nowhere", folder.path() / "b-dangling-contents.plugin/Contents");
    std::vector<std::string> broken{"a-unreadable-info", "b-dangling-contents", "c-program-not-library",
                                    "d-null-factory"};
    bundle("c-program-not-library.plugin", "CreatePDEFactory", "/proc/self/exe");
    bundle("d-null-factory.plugin", "NullFactory", KVX_NULL_FACTORY);
    if (geteuid() != 0) {
        bundle("e-unreadable-executable.plugin", "NullFactory", KVX_NULL_FACTORY);
        fs::permissions(folder.path() / "e-unreadable-executable.plugin/Contents/MacOS/libHostile.so", fs::perms::none);
        broken.push_back("e-unreadable-executable");
    }
    fs::copy(KVX_BUNDLE_DIR, folder.path() / "z-good.plugin", fs::copy_options::recursive);

    const session::PrintSession session(KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd");
    testing::internal::CaptureStderr();
    session::PaneHost pane(folder.path().string(), session);
    const std::string errors = testing::internal::GetCapturedStderr();
    for (const std::string &name : broken) EXPECT_THAT(errors, testing::HasSubstr(name + ".plugin: "));
    EXPECT_THAT(errors, testing::HasSubstr("made no instance"));
    EXPECT_THAT(errors, testing::Not(testing::HasSubstr("z-good")));
    ASSERT_TRUE(pane.IsShown()) << errors;
    EXPECT_EQ(pane.SyncToTicket(), noErr);
}

}  // namespace
}  // namespace kvx::test
