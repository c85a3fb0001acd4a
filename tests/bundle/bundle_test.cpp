// Opening bundles: what an opened bundle tells, lookup by identifier, and a
// clear error for each way a bundle folder can be broken.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"
#include "temp_folder.hpp"

namespace {

using kvx::CFHolder;

class Bundle : public kvx::test::LiveObjectCheck {
protected:
    kvx::test::TempFolder folder;

    std::filesystem::path makeBundle(const std::string &name, const std::string &info) {
        folder.write(name + "/Contents/Info.plist", info);
        return std::filesystem::canonical(folder.path() / name);
    }
};

TEST_F(Bundle, OpensAndTellsItsInfoAndPaths) {
    const auto path = makeBundle("Sample.plugin", kvx::test::InfoPlist("com.example.sample", R"(
	<key>CFBundleName</key><string>Sample</string>
	<key>CFBundleExecutable</key><string>libSample.so</string>
)"));
    const CFIndex liveBefore = KVXHostGetLiveObjectCount(0);
    CFHolder<CFStringRef> error;
    CFBundleRef bundle = KVXBundleOpen(path.c_str(), error.out());
    ASSERT_NE(bundle, nullptr) << kvx::ToUTF8(error.get());
    EXPECT_EQ(KVXHostGetLiveObjectCount(0), liveBefore) << "an opened bundle is not a live object";
    EXPECT_EQ(CFGetTypeID(bundle), CFBundleGetTypeID());

    EXPECT_EQ(kvx::ToUTF8(CFBundleGetIdentifier(bundle)), "com.example.sample");
    const auto name = CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleName"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(kvx::ToUTF8(static_cast<CFStringRef>(name)), "Sample");
    EXPECT_EQ(CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("NoSuchKey")), nullptr);

    EXPECT_EQ(kvx::ToUTF8(CFHolder<CFStringRef>(KVXBundleCopyPath(bundle)).get()), path.string());
    EXPECT_EQ(kvx::ToUTF8(CFHolder<CFStringRef>(KVXBundleCopyExecutablePath(bundle)).get()),
              (path / "Contents/MacOS/libSample.so").string());
    EXPECT_EQ(kvx::ToUTF8(CFHolder<CFStringRef>(KVXBundleCopyResourcesPath(bundle)).get()),
              (path / "Contents/Resources").string());
}

TEST_F(Bundle, TheSameFolderIsTheSameBundleAndAnIdentifierFindsTheMostRecentlyOpened) {
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), nullptr);
    const auto older = makeBundle("Older.plugin", kvx::test::InfoPlist("com.example.twin"));
    const auto newer = makeBundle("Newer.plugin", kvx::test::InfoPlist("com.example.twin"));
    CFBundleRef olderBundle = KVXBundleOpen(older.c_str(), nullptr);
    ASSERT_NE(olderBundle, nullptr);
    EXPECT_EQ(KVXBundleOpen((older.string() + "/.").c_str(), nullptr), olderBundle);
    EXPECT_EQ(KVXBundleOpen((older.parent_path() / "." / "Older.plugin").c_str(), nullptr), olderBundle);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), olderBundle);
    CFBundleRef newerBundle = KVXBundleOpen(newer.c_str(), nullptr);
    ASSERT_NE(newerBundle, olderBundle);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), newerBundle);
    // Opening the older one again makes it the most recent.
    EXPECT_EQ(KVXBundleOpen(older.c_str(), nullptr), olderBundle);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), olderBundle);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.nobody")), nullptr);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(nullptr), nullptr);
}

TEST_F(Bundle, EachBrokenFolderGivesItsOwnError) {
    folder.write("NoInfo.plugin/Contents/Resources/x", "");
    folder.write("Garbage.plugin/Contents/Info.plist", "{ this is not a plist");
    folder.write("Array.plugin/Contents/Info.plist",
                 "<plist version=\"1.0\"><array><string>com.example.array</string></array></plist>");
    folder.write("NoIdentifier.plugin/Contents/Info.plist",
                 "<plist version=\"1.0\"><dict><key>CFBundleName</key><string>x</string></dict></plist>");
    folder.write("NumberIdentifier.plugin/Contents/Info.plist",
                 "<plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><integer>7</integer></dict></plist>");
    folder.write("AFile.plugin", "a file, not a folder");
    const struct {
        const char *bundle;
        const char *says;
    } cases[] = {
        {"Missing.plugin", "does not exist"},
        {"AFile.plugin", "is not a folder"},
        {"NoInfo.plugin", "no readable Contents/Info.plist"},
        {"Garbage.plugin", "malformed"},
        {"Array.plugin", "not a dictionary"},
        {"NoIdentifier.plugin", "no CFBundleIdentifier"},
        {"NumberIdentifier.plugin", "no CFBundleIdentifier"},
    };
    for (const auto &broken : cases) {
        const std::string path = (folder.path() / broken.bundle).string();
        CFHolder<CFStringRef> error;
        EXPECT_EQ(KVXBundleOpen(path.c_str(), error.out()), nullptr) << broken.bundle;
        ASSERT_TRUE(error) << broken.bundle;
        const std::string text = kvx::ToUTF8(error.get());
        EXPECT_NE(text.find(broken.says), std::string::npos) << broken.bundle << ": " << text;
        EXPECT_NE(text.find(broken.bundle), std::string::npos) << broken.bundle << ": " << text;
    }
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.array")), nullptr);
    EXPECT_EQ(KVXBundleOpen(nullptr, nullptr), nullptr);
}

TEST_F(Bundle, AnExecutableNameMustStayInsideTheBundle) {
    const char *names[] = {"../../outside.so", "sub/inner.so", "..", ""};
    for (int index = 0; index < 4; ++index) {
        const auto path = makeBundle("Escape" + std::to_string(index) + ".plugin",
                                     kvx::test::InfoPlist("com.example.escape", std::string("<key>CFBundleExecutable</key><string>") +
                                                                                    names[index] + "</string>"));
        CFBundleRef bundle = KVXBundleOpen(path.c_str(), nullptr);
        ASSERT_NE(bundle, nullptr) << names[index];
        EXPECT_EQ(KVXBundleCopyExecutablePath(bundle), nullptr) << names[index];
    }
}

}  // namespace
