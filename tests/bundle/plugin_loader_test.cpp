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
    const auto copyBuilt = [&](const std::string &name, const std::string &info) {
        std::filesystem::copy(KVX_BUNDLE_DIR, folder.path() / name, std::filesystem::copy_options::recursive);
        if (!info.empty()) folder.write(name + "/Contents/Info.plist", info);
    };
    const std::string executable = "<key>CFBundleExecutable</key><string>libKVXPDE.so</string>";
    copyBuilt("a-good.plugin", "");
    folder.write("b-no-info.plugin/Contents/MacOS/readme", "nothing here");
    folder.write("c-malformed-info.plugin/Contents/Info.plist", "<plist><dict><key>open");
    folder.write("d-missing-executable.plugin/Contents/Info.plist", PlugInInfoPlist("libKVXPDE.so", "CreatePDEFactory", kPMPDETypeIDStr));
    folder.write("e-text-executable.plugin/Contents/Info.plist", PlugInInfoPlist("libText.so", "CreatePDEFactory", kPMPDETypeIDStr));
    folder.write("e-text-executable.plugin/Contents/MacOS/libText.so", "#!/bin/sh\necho not a library\n");
    copyBuilt("f-missing-symbol.plugin", PlugInInfoPlist("libKVXPDE.so", "NoSuchFactoryFunction", kPMPDETypeIDStr));
    copyBuilt("g-other-type.plugin", PlugInInfoPlist("libKVXPDE.so", "CreatePDEFactory", kOtherTypeID));
    folder.write("h-unlisted-factory.plugin/Contents/Info.plist",
                 InfoPlist("com.example.unlisted", std::string("<key>CFPlugInTypes</key><dict><key>") + kPMPDETypeIDStr +
                                                       "</key><array><string>" + kFactoryID + "</string></array></dict>"));
    folder.write("i-a-file.plugin", "a file, not a folder");
    folder.write("j-array-info.plugin/Contents/Info.plist", "<plist version=\"1.0\"><array><string>x</string></array></plist>");
    folder.write("k-number-identifier.plugin/Contents/Info.plist",
                 "<plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><integer>7</integer></dict></plist>");
    copyBuilt("l-escaping-executable.plugin", PlugInInfoPlist("../../a-good.plugin/Contents/MacOS/libKVXPDE.so", "CreatePDEFactory", kPMPDETypeIDStr));
    copyBuilt("y-lower-case-uuids.plugin", PlugInInfoPlist("libKVXPDE.so", "CreatePDEFactory", "bdb091f4-e57f-11d3-b5cc-0050e4603277",
                                                            "5c83e0b7-2d19-4f6a-a3b5-7e90d14c26f8"));
    copyBuilt("z-good.plugin", "");
    folder.write("not-a-bundle.txt", "ignored");
    folder.write("m-not-a-plugin-folder/Contents/Info.plist", "ignored");

    const CFHolder<CFUUIDRef> pdeType(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDETypeIDStr)));
    const CFHolder<CFUUIDRef> factoryID(CFUUIDCreateFromString(nullptr, kvx::MakeString(kFactoryID).get()));
    const CFIndex registeredBefore = KVXPlugInGetInstanceCountForFactory(factoryID.get());
    std::vector<LoadEvent> events;
    EXPECT_EQ(KVXLoadPlugInsForType(folder.path().c_str(), pdeType.get(), Record, &events), 3);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registeredBefore + 3);

    const struct {
        const char *bundle;
        const char *says;  // empty: it loads
    } expected[] = {
        {"a-good.plugin", ""},
        {"b-no-info.plugin", "no readable Contents/Info.plist"},
        {"c-malformed-info.plugin", "malformed"},
        {"d-missing-executable.plugin", "is missing"},
        {"e-text-executable.plugin", "cannot be loaded: "},
        {"f-missing-symbol.plugin", "NoSuchFactoryFunction"},
        {"g-other-type.plugin", "registers no factory for the plug-in type " kPMPDETypeIDStr},
        {"h-unlisted-factory.plugin", "not listed in its CFPlugInFactories"},
        {"i-a-file.plugin", "is not a folder"},
        {"j-array-info.plugin", "not a dictionary"},
        {"k-number-identifier.plugin", "no CFBundleIdentifier"},
        {"l-escaping-executable.plugin", "names no executable"},
        {"y-lower-case-uuids.plugin", ""},
        {"z-good.plugin", ""},
    };
    ASSERT_EQ(events.size(), std::size(expected));
    for (std::size_t index = 0; index < events.size(); ++index) {
        const LoadEvent &event = events[index];
        const std::string says = expected[index].says;
        EXPECT_EQ(event.bundle, expected[index].bundle);
        EXPECT_EQ(event.instance != nullptr, says.empty()) << event.bundle << ": " << event.error;
        EXPECT_NE(event.error.find(says), std::string::npos) << event.bundle << ": " << event.error;
        if (!says.empty()) {
            EXPECT_NE(event.error.find(event.bundle), std::string::npos) << event.error;
        }
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
