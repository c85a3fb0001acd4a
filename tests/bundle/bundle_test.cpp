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

    static std::string Copy(CFBundleRef bundle, const char *key, CFStringRef value, CFStringRef table = nullptr) {
        const CFHolder<CFStringRef> text(CFBundleCopyLocalizedString(bundle, kvx::MakeString(key).get(), value, table));
        return kvx::ToUTF8(text.get());
    }
};

TEST_F(Bundle, TheSameFolderIsTheSameBundleAndAnIdentifierFindsTheMostRecentlyOpened) {
    const auto older = folder.write("Older.plugin/Contents/Info.plist", kvx::test::InfoPlist("com.example.twin")).parent_path().parent_path();
    const auto newer = folder.write("Newer.plugin/Contents/Info.plist", kvx::test::InfoPlist("com.example.twin")).parent_path().parent_path();
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), nullptr);
    CFBundleRef olderBundle = KVXBundleOpen(older.c_str(), nullptr);
    ASSERT_NE(olderBundle, nullptr);
    EXPECT_EQ(KVXBundleOpen((older.string() + "/.").c_str(), nullptr), olderBundle);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), olderBundle);
    CFBundleRef newerBundle = KVXBundleOpen(newer.c_str(), nullptr);
    ASSERT_NE(newerBundle, olderBundle);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), newerBundle);
    EXPECT_EQ(KVXBundleOpen(older.c_str(), nullptr), olderBundle);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.twin")), olderBundle) << "opened again, it is the most recent";
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.nobody")), nullptr);
}

TEST_F(Bundle, LocalizedStringsComeFromTheFirstEnglishFolderOrFallBackToTheValuePassed) {
    CFBundleRef bundle = makeBundle("Strings.plugin", {
        {"English.lproj/Localizable.strings", R"("DC" = "Department Code";)"},
        {"en.lproj/Localizable.strings", R"("DC" = "en";)"},
        {"en.lproj/Other.strings", R"("DC" = "Other table";)"},
        {"Base.lproj/Other.strings", R"("DC" = "Base";)"},
        {"Base.lproj/Extra.strings", R"("DC" = "Base extra";)"},
        {"French.lproj/Extra.strings", R"("DC" = "French";)"},
    });
    EXPECT_EQ(Copy(bundle, "DC", CFSTR("x")), "Department Code");
    EXPECT_EQ(Copy(bundle, "DC", nullptr, CFSTR("Other")), "Other table");
    EXPECT_EQ(Copy(bundle, "DC", nullptr, CFSTR("Extra")), "Base extra");
    folder.write("Strings.plugin/Contents/Resources/English.lproj/Localizable.strings", R"("DC" = "second";)");
    EXPECT_EQ(Copy(bundle, "DC", nullptr), "Department Code") << "a table is read once";

    const auto value = kvx::MakeString(kFallback);
    const CFHolder<CFStringRef> missingKey(CFBundleCopyLocalizedString(bundle, CFSTR("DIN"), value.get(), nullptr));
    EXPECT_EQ(missingKey.get(), value.get());
    EXPECT_EQ(CFGetRetainCount(value.get()), 2) << "the value comes back retained";
    EXPECT_EQ(Copy(bundle, "DC", value.get(), CFSTR("NoSuchTable")), kFallback);
    EXPECT_EQ(Copy(bundle, "DIN", nullptr), "DIN") << "without a value the key comes back";
    EXPECT_EQ(Copy(bundle, "DC", value.get(), CFSTR("../English.lproj/Localizable")), kFallback) << "a table name is never a path";
    EXPECT_EQ(Copy(nullptr, "DC", value.get()), kFallback);
}

TEST_F(Bundle, MalformedTableIsReportedOnceAndReadsAsEmpty) {
    CFBundleRef bundle = makeBundle("Malformed.plugin", {{"English.lproj/Localizable.strings", "\"DIN\" = \"DIN\";\n\"DC\" = Code;\n"}});
    testing::internal::CaptureStderr();
    EXPECT_EQ(Copy(bundle, "DIN", CFSTR("Missing Localizable.strings")), kFallback) << "even its good entries are gone";
    EXPECT_EQ(Copy(bundle, "DC", CFSTR("Missing Localizable.strings")), kFallback);
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("English.lproj/Localizable.strings"), std::string::npos) << report;
    EXPECT_NE(report.find("line 2"), std::string::npos) << report;
    EXPECT_EQ(report.find("Localizable.strings"), report.rfind("Localizable.strings")) << "reported twice: " << report;
}

}  // namespace
