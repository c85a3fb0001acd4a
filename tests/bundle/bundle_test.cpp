// Bundles as the pane finds its own: by identifier, the most recently opened
// first, and its localized strings with every fallback to the caller's text.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "KVXHostSupport.hpp"
#include "info_plist.hpp"
#include "live_object_check.hpp"
#include "temp_folder.hpp"

namespace {

using kvx::CFHolder;

constexpr const char *kFallback = "Missing Localizable.strings";

class Bundle : public kvx::test::LiveObjectCheck {
protected:
    kvx::test::TempFolder folder;

    // A bundle with these resource files, opened.
    CFBundleRef makeBundle(const std::string &name, std::initializer_list<std::pair<const char *, std::string>> resources = {}) {
        folder.write(name + "/Contents/Info.plist", kvx::test::InfoPlist("com.example." + name));
        for (const auto &[relative, bytes] : resources) folder.write(std::filesystem::path(name) / "Contents/Resources" / relative, bytes);
        CFHolder<CFStringRef> error;
        CFBundleRef bundle = KVXBundleOpen((folder.path() / name).c_str(), error.out());
        EXPECT_NE(bundle, nullptr) << kvx::ToUTF8(error.get());
        return bundle;
    }

    static std::string Copy(CFBundleRef bundle, const char *key, CFStringRef value) {
        const CFHolder<CFStringRef> text(CFBundleCopyLocalizedString(bundle, kvx::MakeString(key).get(), value, nullptr));
        return kvx::ToUTF8(text.get());
    }
};

// Tests load copies of the built bundle: the pane must find the copy it lives in.
TEST_F(Bundle, TheSameFolderIsTheSameBundleAndAnIdentifierFindsTheMostRecentlyOpened) {
    const auto twin = [&](const std::string &name) {
        return folder.write(name + "/Contents/Info.plist", kvx::test::InfoPlist("com.example.twin")).parent_path().parent_path().string();
    };
    const std::string olderPath = twin("Older.plugin"), newerPath = twin("Newer.plugin");
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), nullptr);
    CFBundleRef older = KVXBundleOpen(olderPath.c_str(), nullptr);
    EXPECT_EQ(KVXBundleOpen((olderPath + "/.").c_str(), nullptr), older);
    CFBundleRef newer = KVXBundleOpen(newerPath.c_str(), nullptr);
    ASSERT_NE(newer, older);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), newer);
    EXPECT_EQ(KVXBundleOpen(olderPath.c_str(), nullptr), older);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), older) << "opened again, it is the most recent";
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.nobody")), nullptr);
}

// The pane asks for its titles from the default table only.
TEST_F(Bundle, LocalizedStringsComeFromTheFirstEnglishFolderOnceOrFallBackToTheValuePassed) {
    CFBundleRef bundle = makeBundle("Strings.plugin", {
        {"English.lproj/Localizable.strings", R"("DC" = "Department Code";)"},
        {"en.lproj/Localizable.strings", R"("DC" = "en";)"},
    });
    EXPECT_EQ(Copy(bundle, "DC", CFSTR("x")), "Department Code");
    folder.write("Strings.plugin/Contents/Resources/English.lproj/Localizable.strings", R"("DC" = "second";)");
    EXPECT_EQ(Copy(bundle, "DC", nullptr), "Department Code") << "a table is read once";

    const auto value = kvx::MakeString(kFallback);
    const CFHolder<CFStringRef> missingKey(CFBundleCopyLocalizedString(bundle, CFSTR("DIN"), value.get(), nullptr));
    EXPECT_EQ(missingKey.get(), value.get());
    EXPECT_EQ(CFGetRetainCount(value.get()), 2) << "the value comes back retained";
    EXPECT_EQ(Copy(bundle, "DIN", nullptr), "DIN") << "without a value the key comes back";
    EXPECT_EQ(Copy(nullptr, "DC", value.get()), kFallback);
}

}  // namespace
