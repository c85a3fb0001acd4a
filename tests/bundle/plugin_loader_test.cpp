// The plug-in loader on a folder of good and broken bundles: each broken
// one gives its own error, and the good ones load all the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "KVXHostSupport.hpp"
#include "info_plist.hpp"
#include "live_object_check.hpp"
#include "temp_folder.hpp"

namespace {

using kvx::CFHolder;
using kvx::test::InfoPlist;
using kvx::test::PlugInInfoPlist;

constexpr const char *kFactoryID = "5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8";
constexpr const char *kOtherTypeID = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";

struct LoadEvent {
    std::string bundle;
    IUnknownVTbl **instance;
    std::string error;
};

void Record(const char *bundlePath, void *instance, CFStringRef error, void *info) {
    static_cast<std::vector<LoadEvent> *>(info)->push_back(
        {std::filesystem::path(bundlePath).filename().string(), static_cast<IUnknownVTbl **>(instance), kvx::ToUTF8(error)});
}

using PlugInLoader = kvx::test::LiveObjectCheck;

TEST_F(PlugInLoader, EachBrokenBundleGivesItsErrorAndTheGoodOnesStillLoad) {
    const kvx::test::TempFolder folder;
    // Each bundle: a copy of the built one or a new folder, its Info.plist
    // (none: the copy's own), one more file (an empty path: the bundle itself).
    const std::string executable = "libKVXPDE.so";
    const struct {
        const char *bundle;
        bool copyBuilt;
        std::string info;
        const char *file;
        std::string bytes;
        const char *says;  // empty: it loads
    } bundles[] = {
        {"a-good.plugin", true, "", nullptr, "", ""},
        {"b-no-info.plugin", false, "", "Contents/MacOS/readme", "nothing here", "no readable Contents/Info.plist"},
        {"c-malformed-info.plugin", false, "<plist><dict><key>open", nullptr, "", "malformed"},
        {"d-missing-executable.plugin", false, PlugInInfoPlist(executable, "CreatePDEFactory", kPMPDETypeIDStr), nullptr, "", "is missing"},
        {"e-text-executable.plugin", false, PlugInInfoPlist("libText.so", "CreatePDEFactory", kPMPDETypeIDStr), "Contents/MacOS/libText.so",
         "#!/bin/sh\necho not a library\n", "cannot be loaded: "},
        {"f-missing-symbol.plugin", true, PlugInInfoPlist(executable, "NoSuchFactoryFunction", kPMPDETypeIDStr), nullptr, "",
         "NoSuchFactoryFunction"},
        {"g-other-type.plugin", true, PlugInInfoPlist(executable, "CreatePDEFactory", kOtherTypeID), nullptr, "",
         "registers no factory for the plug-in type " kPMPDETypeIDStr},
        {"h-unlisted-factory.plugin", false,
         InfoPlist("com.example.unlisted", std::string("<key>CFPlugInTypes</key><dict><key>") + kPMPDETypeIDStr + "</key><array><string>" +
                                               kFactoryID + "</string></array></dict>"),
         nullptr, "", "not listed in its CFPlugInFactories"},
        {"i-a-file.plugin", false, "", "", "a file, not a folder", "is not a folder"},
        {"j-array-info.plugin", false, "<plist version=\"1.0\"><array><string>x</string></array></plist>", nullptr, "", "not a dictionary"},
        {"k-number-identifier.plugin", false, "<plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><integer>7</integer></dict></plist>",
         nullptr, "", "no CFBundleIdentifier"},
        {"l-escaping-executable.plugin", true, PlugInInfoPlist("../../a-good.plugin/Contents/MacOS/" + executable, "CreatePDEFactory", kPMPDETypeIDStr),
         nullptr, "", "names no executable"},
        {"n-null-factory.plugin", false, PlugInInfoPlist("libNull.so", "NullFactory", kPMPDETypeIDStr, "0C5D83A1-6E2B-4F70-9A1D-3B8C7E6F5A42"),
         "Contents/MacOS/libNull.so", kvx::test::ReadFile(KVX_NULL_FACTORY), "made no instance"},
        {"o-info-is-a-folder.plugin", false, "", "Contents/Info.plist/inside", "", "no readable Contents/Info.plist"},
        {"y-lower-case-uuids.plugin", true,
         PlugInInfoPlist(executable, "CreatePDEFactory", "bdb091f4-e57f-11d3-b5cc-0050e4603277", "5c83e0b7-2d19-4f6a-a3b5-7e90d14c26f8"),
         nullptr, "", ""},
        {"z-good.plugin", true, "", nullptr, "", ""},
    };
    for (const auto &made : bundles) {
        if (made.copyBuilt) std::filesystem::copy(KVX_BUNDLE_DIR, folder.path() / made.bundle, std::filesystem::copy_options::recursive);
        if (!made.info.empty()) folder.write(std::string(made.bundle) + "/Contents/Info.plist", made.info);
        if (made.file != nullptr) folder.write(*made.file ? std::filesystem::path(made.bundle) / made.file : made.bundle, made.bytes);
    }
    folder.write("not-a-bundle.txt", "ignored");
    folder.write("m-not-a-plugin-folder/Contents/Info.plist", "ignored");

    const CFHolder<CFUUIDRef> pdeType(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDETypeIDStr)));
    const CFHolder<CFUUIDRef> factoryID(CFUUIDCreateFromString(nullptr, kvx::MakeString(kFactoryID).get()));
    const CFIndex registeredBefore = KVXPlugInGetInstanceCountForFactory(factoryID.get());
    std::vector<LoadEvent> events;
    EXPECT_EQ(KVXLoadPlugInsForType(folder.path().c_str(), pdeType.get(), Record, &events), 3);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registeredBefore + 3);

    ASSERT_EQ(events.size(), std::size(bundles));
    for (std::size_t index = 0; index < events.size(); ++index) {
        const LoadEvent &event = events[index];
        const std::string says = bundles[index].says;
        EXPECT_EQ(event.bundle, bundles[index].bundle);
        EXPECT_EQ(event.instance != nullptr, says.empty()) << event.bundle << ": " << event.error;
        EXPECT_NE(event.error.find(says), std::string::npos) << event.bundle << ": " << event.error;
        EXPECT_TRUE(says.empty() || event.error.find(event.bundle) != std::string::npos) << "the error names its bundle: " << event.error;
    }
    // The dynamic loader's own words say why the text file is no library.
    EXPECT_NE(events[4].error.find("libText.so"), std::string::npos) << events[4].error;
    for (const auto &event : events)
        if (event.instance != nullptr) (*event.instance)->Release(event.instance);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registeredBefore);

    std::vector<LoadEvent> none;
    EXPECT_EQ(KVXLoadPlugInsForType((folder.path() / "missing").c_str(), pdeType.get(), Record, &none), -1);
    EXPECT_EQ(KVXLoadPlugInsForType((folder.path() / "m-not-a-plugin-folder").c_str(), pdeType.get(), Record, &none), 0);
    EXPECT_TRUE(none.empty());
}

}  // namespace
