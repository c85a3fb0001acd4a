// Localized strings: found texts, every fallback to the caller's text, the
// English folders in order, and a malformed table reported only once.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"
#include "temp_folder.hpp"

namespace {

using kvx::CFHolder;

class LocalizedString : public kvx::test::LiveObjectCheck {
protected:
    kvx::test::TempFolder folder;

    // A bundle of its own for each test, with the given resource files.
    CFBundleRef makeBundle(std::initializer_list<std::pair<const char *, std::string>> resources) {
        folder.write("Strings.plugin/Contents/Info.plist", kvx::test::InfoPlist("com.example.strings"));
        for (const auto &[relative, bytes] : resources)
            folder.write(std::filesystem::path("Strings.plugin/Contents/Resources") / relative, bytes);
        CFHolder<CFStringRef> error;
        CFBundleRef bundle = KVXBundleOpen((folder.path() / "Strings.plugin").c_str(), error.out());
        EXPECT_NE(bundle, nullptr) << kvx::ToUTF8(error.get());
        return bundle;
    }

    static std::string Copy(CFBundleRef bundle, const char *key, CFStringRef value, CFStringRef table = nullptr) {
        const auto keyString = kvx::MakeString(key);
        const CFHolder<CFStringRef> text(CFBundleCopyLocalizedString(bundle, keyString.get(), value, table));
        return kvx::ToUTF8(text.get());
    }
};

constexpr const char *kFallback = "Missing Localizable.strings";

TEST_F(LocalizedString, FindsTheTextOfTheDefaultAndOfANamedTable) {
    CFBundleRef bundle = makeBundle({
        {"English.lproj/Localizable.strings", R"("DC" = "Department Code";)"},
        {"English.lproj/Other.strings", R"("DC" = "Other table";)"},
    });
    EXPECT_EQ(Copy(bundle, "DC", CFSTR("Missing Localizable.strings")), "Department Code");
    EXPECT_EQ(Copy(bundle, "DC", nullptr, CFSTR("Localizable")), "Department Code");
    EXPECT_EQ(Copy(bundle, "DC", nullptr, CFSTR("Other")), "Other table");
    // The table is read only once.
    folder.write("Strings.plugin/Contents/Resources/English.lproj/Localizable.strings", R"("DC" = "second";)");
    EXPECT_EQ(Copy(bundle, "DC", nullptr), "Department Code");
}

TEST_F(LocalizedString, MissingKeyOrTableGivesBackTheValuePassed) {
    CFBundleRef bundle = makeBundle({{"English.lproj/Localizable.strings", R"("DIN" = "Private Print DIN";)"}});
    const auto value = kvx::MakeString(kFallback);
    const CFIndex retainsBefore = CFGetRetainCount(value.get());
    const CFHolder<CFStringRef> missingKey(CFBundleCopyLocalizedString(bundle, CFSTR("DC"), value.get(), nullptr));
    EXPECT_EQ(missingKey.get(), value.get());
    EXPECT_EQ(CFGetRetainCount(value.get()), retainsBefore + 1) << "the value comes back retained";
    EXPECT_EQ(Copy(bundle, "DIN", value.get(), CFSTR("NoSuchTable")), kFallback);
    EXPECT_EQ(Copy(bundle, "DC", nullptr), "DC") << "without a value the key comes back";
    EXPECT_EQ(Copy(bundle, "DIN", value.get(), CFSTR("../English.lproj/Localizable")), kFallback)
        << "a table name is never a path";
    EXPECT_EQ(Copy(nullptr, "DIN", value.get()), kFallback);
}

TEST_F(LocalizedString, LooksInEnglishThenEnThenBase) {
    CFBundleRef bundle = makeBundle({
        {"en.lproj/Localizable.strings", R"("where" = "en";)"},
        {"Base.lproj/Localizable.strings", R"("where" = "Base";)"},
        {"Base.lproj/Extra.strings", R"("where" = "Base extra";)"},
        {"French.lproj/Extra.strings", R"("where" = "French";)"},
    });
    EXPECT_EQ(Copy(bundle, "where", nullptr), "en");
    EXPECT_EQ(Copy(bundle, "where", nullptr, CFSTR("Extra")), "Base extra");
}

TEST_F(LocalizedString, MalformedTableIsReportedOnceAndReadsAsEmpty) {
    CFBundleRef bundle = makeBundle({{"English.lproj/Localizable.strings", "\"DIN\" = \"DIN\";\n\"DC\" = Code;\n"}});
    testing::internal::CaptureStderr();
    const std::string first = Copy(bundle, "DIN", CFSTR("Missing Localizable.strings"));
    const std::string second = Copy(bundle, "DC", CFSTR("Missing Localizable.strings"));
    const std::string report = testing::internal::GetCapturedStderr();

    EXPECT_EQ(first, kFallback) << "a malformed table counts as empty, even for its good entries";
    EXPECT_EQ(second, kFallback);
    EXPECT_NE(report.find("English.lproj/Localizable.strings"), std::string::npos) << report;
    EXPECT_NE(report.find("line 2"), std::string::npos) << report;
    EXPECT_EQ(report.find("Localizable.strings"), report.rfind("Localizable.strings")) << "reported twice: " << report;
}

}  // namespace
