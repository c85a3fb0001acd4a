// The plug-in loader on a folder of good and broken bundles: each broken
// one gives its own error, and the good ones load all the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"
#include "temp_folder.hpp"

namespace {

using kvx::CFHolder;

constexpr const char *kFactoryID = "5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8";
constexpr const char *kOtherTypeID = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";

struct LoadEvent {
    std::string bundle;
    IUnknownVTbl **instance;
    std::string error;
};

void Record(const char *bundlePath, void *instance, CFStringRef error, void *info) {
    static_cast<std::vector<LoadEvent> *>(info)->push_back(
        {std::filesystem::path(bundlePath).filename().string(), static_cast<IUnknownVTbl **>(instance),
         kvx::ToUTF8(error)});
}

std::string PlugInInfo(const std::string &executable, const std::string &function, const std::string &typeID,
                       const std::string &factoryID = kFactoryID) {
    return kvx::test::InfoPlist("com.example.loader",
                                "<key>CFBundleExecutable</key><string>" + executable + "</string>\n" +
                                    "<key>CFPlugInFactories</key><dict><key>" + factoryID + "</key><string>" +
                                    function + "</string></dict>\n" + "<key>CFPlugInTypes</key><dict><key>" +
                                    typeID + "</key><array><string>" + factoryID + "</string></array></dict>\n");
}

class PlugInLoader : public kvx::test::LiveObjectCheck {
protected:
    kvx::test::TempFolder folder;
    CFHolder<CFUUIDRef> pdeType{CFUUIDCreateFromString(nullptr, CFSTR(kPMPDETypeIDStr))};
    CFHolder<CFUUIDRef> factoryID{CFUUIDCreateFromString(nullptr, kvx::MakeString(kFactoryID).get())};

    std::filesystem::path copyBuiltBundle(const std::string &name) {
        const auto copy = folder.path() / name;
        std::filesystem::copy(KVX_BUNDLE_DIR, copy, std::filesystem::copy_options::recursive);
        return copy;
    }

    std::vector<LoadEvent> load(CFIndex expectedInstances) {
        std::vector<LoadEvent> events;
        EXPECT_EQ(KVXLoadPlugInsForType(folder.path().c_str(), pdeType.get(), Record, &events), expectedInstances);
        return events;
    }

    static void ReleaseInstances(const std::vector<LoadEvent> &events) {
        for (const auto &event : events)
            if (event.instance != nullptr) (*event.instance)->Release(event.instance);
    }
};

TEST_F(PlugInLoader, EachBrokenBundleGivesItsErrorAndTheGoodOnesStillLoad) {
    copyBuiltBundle("a-good.plugin");
    folder.write("b-no-info.plugin/Contents/MacOS/readme", "nothing here");
    folder.write("c-malformed-info.plugin/Contents/Info.plist", "<plist><dict><key>open");
    folder.write("d-missing-executable.plugin/Contents/Info.plist",
                 PlugInInfo("libKVXPDE.so", "CreatePDEFactory", kPMPDETypeIDStr));
    folder.write("e-text-executable.plugin/Contents/Info.plist",
                 PlugInInfo("libText.so", "CreatePDEFactory", kPMPDETypeIDStr));
    folder.write("e-text-executable.plugin/Contents/MacOS/libText.so", "#!/bin/sh\necho not a library\n");
    copyBuiltBundle("f-missing-symbol.plugin");
    folder.write("f-missing-symbol.plugin/Contents/Info.plist",
                 PlugInInfo("libKVXPDE.so", "NoSuchFactoryFunction", kPMPDETypeIDStr));
    copyBuiltBundle("g-other-type.plugin");
    folder.write("g-other-type.plugin/Contents/Info.plist",
                 PlugInInfo("libKVXPDE.so", "CreatePDEFactory", kOtherTypeID));
    folder.write("h-unlisted-factory.plugin/Contents/Info.plist",
                 kvx::test::InfoPlist("com.example.unlisted",
                                      std::string("<key>CFPlugInTypes</key><dict><key>") + kPMPDETypeIDStr +
                                          "</key><array><string>" + kFactoryID + "</string></array></dict>"));
    copyBuiltBundle("z-good.plugin");
    folder.write("not-a-bundle.txt", "ignored");
    folder.write("i-not-a-plugin-folder/Contents/Info.plist", "ignored");

    const CFIndex registeredBefore = KVXPlugInGetInstanceCountForFactory(factoryID.get());
    const std::vector<LoadEvent> events = load(2);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registeredBefore + 2);

    const struct {
        const char *bundle;
        bool loads;
        const char *says;
    } expected[] = {
        {"a-good.plugin", true, ""},
        {"b-no-info.plugin", false, "no readable Contents/Info.plist"},
        {"c-malformed-info.plugin", false, "malformed"},
        {"d-missing-executable.plugin", false, "is missing"},
        {"e-text-executable.plugin", false, "cannot be loaded: "},
        {"f-missing-symbol.plugin", false, "NoSuchFactoryFunction"},
        {"g-other-type.plugin", false, "registers no factory for the plug-in type " kPMPDETypeIDStr},
        {"h-unlisted-factory.plugin", false, "not listed in its CFPlugInFactories"},
        {"z-good.plugin", true, ""},
    };
    ASSERT_EQ(events.size(), std::size(expected));
    for (std::size_t index = 0; index < events.size(); ++index) {
        const LoadEvent &event = events[index];
        EXPECT_EQ(event.bundle, expected[index].bundle);
        EXPECT_EQ(event.instance != nullptr, expected[index].loads) << event.bundle << ": " << event.error;
        EXPECT_NE(event.error.find(expected[index].says), std::string::npos) << event.bundle << ": " << event.error;
    }
    // The dynamic loader's own words say why the text file is no library.
    EXPECT_NE(events[4].error.find("libText.so"), std::string::npos) << events[4].error;
    EXPECT_NE(events[0].instance, events[8].instance);

    ReleaseInstances(events);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registeredBefore);

    std::vector<LoadEvent> none;
    EXPECT_EQ(KVXLoadPlugInsForType((folder.path() / "missing").c_str(), pdeType.get(), Record, &none), -1);
    EXPECT_EQ(KVXLoadPlugInsForType(nullptr, pdeType.get(), Record, &none), -1);
    EXPECT_EQ(KVXLoadPlugInsForType((folder.path() / "i-not-a-plugin-folder").c_str(), pdeType.get(), Record, &none), 0);
    EXPECT_TRUE(none.empty());
}

TEST_F(PlugInLoader, FactoryThatRefusesTheTypeIsReported) {
    // The real factory answers only for the PDE type: registering it for
    // another type and asking for that type makes it return null.
    copyBuiltBundle("wrong-type.plugin");
    folder.write("wrong-type.plugin/Contents/Info.plist",
                 PlugInInfo("libKVXPDE.so", "CreatePDEFactory", kOtherTypeID));
    const CFHolder<CFUUIDRef> otherType(CFUUIDCreateFromString(nullptr, kvx::MakeString(kOtherTypeID).get()));
    std::vector<LoadEvent> events;
    EXPECT_EQ(KVXLoadPlugInsForType(folder.path().c_str(), otherType.get(), Record, &events), 0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].instance, nullptr);
    EXPECT_NE(events[0].error.find("made no instance"), std::string::npos) << events[0].error;
}

TEST_F(PlugInLoader, UUIDsMatchInAnyLetterCase) {
    copyBuiltBundle("lower-case.plugin");
    folder.write("lower-case.plugin/Contents/Info.plist",
                 PlugInInfo("libKVXPDE.so", "CreatePDEFactory", "bdb091f4-e57f-11d3-b5cc-0050e4603277",
                            "5c83e0b7-2d19-4f6a-a3b5-7e90d14c26f8"));
    const std::vector<LoadEvent> events = load(1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_NE(events[0].instance, nullptr) << events[0].error;
    ReleaseInstances(events);
}

}  // namespace
