// Interface files: a good file builds its window's tree; a bad one builds
// nothing at all.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "toolbox_test.hpp"

namespace kvx::test {
namespace {

constexpr std::string_view kGoodNib = R"(<?xml version="1.0" encoding="UTF-8"?>
<nib>
  <window name="Other" width="10" height="10"/>
  <window name="Window" title="Job Options" x="40" y="30" width="460" height="170">
    <!-- the pane's container -->
    <control kind="userpane" signature="kvx " id="1" top="0" left="0" bottom="170" right="460">
      <control kind="statictext" title="Print mode:" top="20" left="20" bottom="36" right="120"/>
      <control kind="popup" signature="kvx " id="5" top="16" left="130" bottom="36" right="300" value="2">
        <item>Normal</item>
        <item>Épreuve</item>
      </control>
      <control kind="edittext" signature="kvx " id="6" text="007" enabled="false" top="50" left="130" bottom="66" right="200"/>
      <control kind="popup" signature="kvx " id="9" menu="none" top="80" left="130" bottom="96" right="300"/>
      <control kind="popup" signature="kvx " id="7" top="100" left="130" bottom="116" right="300"/>
    </control>
  </window>
</nib>
)";

class Nib : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        std::string pattern = ::testing::TempDir() + "kvx-nib-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        ToolboxTest::TearDown();
    }

    std::string Write(std::string_view contents, const std::string &name = "test.nib") const {
        const auto path = folder / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
        return path.string();
    }

    // Opens the file and makes its "Window": the first nonzero status, or 0.
    static OSStatus Load(const std::string &path, WindowRef *outWindow) {
        IBNibRef nib = nullptr;
        OSStatus status = KVXCreateNibReferenceWithPath(path.c_str(), &nib);
        if (status != noErr) return status;
        status = CreateWindowFromNib(nib, CFSTR("Window"), outWindow);
        DisposeNibReference(nib);
        return status;
    }

    static ControlRef Find(WindowRef window, SInt32 id) {
        const ControlID controlID{'kvx ', id};
        ControlRef control = nullptr;
        GetControlByID(window, &controlID, &control);
        return control;
    }

    std::filesystem::path folder;
};

TEST_F(Nib, GoodFileBuildsTheWindowsTree) {
    WindowRef window = nullptr;
    ASSERT_EQ(Load(Write(kGoodNib), &window), noErr);
    Rect content{};
    GetWindowBounds(window, kWindowContentRgn, &content);
    EXPECT_EQ(content, (Rect{30, 40, 200, 500}));
    CFStringRef title = nullptr;
    CopyWindowTitleAsCFString(window, &title);
    EXPECT_EQ(ToUTF8(title), "Job Options");
    CFRelease(title);

    ControlRef container = Find(window, 1);
    ASSERT_NE(container, nullptr);
    UInt16 children = 0;
    CountSubControls(container, &children);
    EXPECT_EQ(children, 5);
    ControlRef label = nullptr;
    GetIndexedSubControl(container, 1, &label);
    ControlKind kind{};
    GetControlKind(label, &kind);
    EXPECT_EQ(kind.kind, static_cast<OSType>(kControlKindStaticText));
    CopyControlTitleAsCFString(label, &title);
    EXPECT_EQ(ToUTF8(title), "Print mode:");
    CFRelease(title);

    ControlRef printMode = Find(window, 5);
    EXPECT_EQ(GetControl32BitValue(printMode), 2);
    Rect bounds{};
    GetControlBounds(printMode, &bounds);
    EXPECT_EQ(bounds, (Rect{16, 130, 36, 300}));
    MenuRef menu = GetControlPopupMenuHandle(printMode);
    ASSERT_EQ(CountMenuItems(menu), 2);
    CFStringRef item = nullptr;
    CopyMenuItemTextAsCFString(menu, 2, &item);
    EXPECT_EQ(ToUTF8(item), "Épreuve");
    CFRelease(item);

    ControlRef din = Find(window, 6);
    GetControlKind(din, &kind);
    EXPECT_EQ(kind.kind, static_cast<OSType>(kControlKindEditUnicodeText));
    EXPECT_EQ(FieldText(din), "007");
    EXPECT_FALSE(IsControlEnabled(din));
    EXPECT_TRUE(IsControlEnabled(printMode));

    EXPECT_EQ(GetControlPopupMenuHandle(Find(window, 9)), nullptr) << "menu=\"none\"";
    EXPECT_EQ(CountMenuItems(GetControlPopupMenuHandle(Find(window, 7))), 0) << "an empty menu";
    EXPECT_EQ(GetControl32BitValue(Find(window, 7)), 1);
    DisposeWindow(window);
}

TEST_F(Nib, MissingFileOrWindowIsReportedAndNothingMade) {
    IBNibRef nib = nullptr;
    EXPECT_EQ(KVXCreateNibReferenceWithPath((folder / "absent.nib").c_str(), &nib), kIBCarbonRuntimeCantFindNibFile);
    EXPECT_EQ(nib, nullptr);
    EXPECT_EQ(KVXCreateNibReferenceWithPath(folder.c_str(), &nib), kIBCarbonRuntimeCantFindNibFile) << "a folder";
    ASSERT_EQ(KVXCreateNibReferenceWithPath(Write(kGoodNib).c_str(), &nib), noErr);
    WindowRef window = nullptr;
    EXPECT_EQ(CreateWindowFromNib(nib, CFSTR("Dialog"), &window), kIBCarbonRuntimeCantFindObject);
    EXPECT_EQ(window, nullptr);
    DisposeNibReference(nib);
}

TEST_F(Nib, OpensFromABundlesResources) {
    const std::string bundlePath = (folder / "Test.plugin").string();
    Write(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>CFBundleIdentifier</key><string>org.kvx.nib-test</string></dict></plist>
)",
          "Test.plugin/Contents/Info.plist");
    Write(kGoodNib, "Test.plugin/Contents/Resources/PDE.nib");
    CFBundleRef bundle = KVXBundleOpen(bundlePath.c_str(), nullptr);
    ASSERT_NE(bundle, nullptr);

    IBNibRef nib = nullptr;
    ASSERT_EQ(CreateNibReferenceWithCFBundle(bundle, CFSTR("PDE"), &nib), noErr);
    DisposeNibReference(nib);
    EXPECT_EQ(CreateNibReferenceWithCFBundle(bundle, CFSTR("Missing"), &nib), kIBCarbonRuntimeCantFindNibFile);
    EXPECT_EQ(CreateNibReferenceWithCFBundle(bundle, CFSTR("../Resources/PDE"), &nib),
              kIBCarbonRuntimeCantFindNibFile)
        << "a name cannot lead out of the resources";
    EXPECT_EQ(nib, nullptr);
}

std::string Nested(int depth) {
    std::string open, close;
    for (int level = 0; level < depth; ++level) {
        open += R"(<control kind="userpane" top="0" left="0" bottom="1" right="1">)";
        close += "</control>";
    }
    return R"(<nib><window name="Window" width="1" height="1">)" + open + close + "</window></nib>";
}

struct BadFile {
    const char *name;
    std::string xml;
};

std::string InWindow(std::string_view controls) {
    return R"(<nib><window name="Window" width="100" height="100">)" + std::string(controls) + "</window></nib>";
}

class MalformedNib : public Nib, public ::testing::WithParamInterface<BadFile> {};

TEST_P(MalformedNib, FailsAndLeavesNothingAlive) {
    WindowRef window = nullptr;
    EXPECT_EQ(Load(Write(GetParam().xml), &window), kKVXNibMalformedErr);
    EXPECT_EQ(window, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Nib, MalformedNib,
    ::testing::Values(
        BadFile{"Empty", ""}, BadFile{"NotXml", "<nib><window name=\"Window\""}, BadFile{"WrongRoot", "<dialog/>"},
        BadFile{"UnknownKind", InWindow(R"(<control kind="slider" top="0" left="0" bottom="1" right="1"/>)")},
        BadFile{"NoKind", InWindow(R"(<control top="0" left="0" bottom="1" right="1"/>)")},
        BadFile{"MissingBound", InWindow(R"(<control kind="userpane" top="0" left="0" bottom="1"/>)")},
        BadFile{"WordAsBound", InWindow(R"(<control kind="userpane" top="ten" left="0" bottom="1" right="1"/>)")},
        BadFile{"BoundWithJunk", InWindow(R"(<control kind="userpane" top="1x" left="0" bottom="1" right="1"/>)")},
        BadFile{"BoundPast16Bits", InWindow(R"(<control kind="userpane" top="0" left="0" bottom="40000" right="1"/>)")},
        BadFile{"InvertedBounds", InWindow(R"(<control kind="userpane" top="9" left="0" bottom="1" right="1"/>)")},
        BadFile{"ShortSignature",
                InWindow(R"(<control kind="userpane" signature="kvx" top="0" left="0" bottom="1" right="1"/>)")},
        BadFile{"LongSignature",
                InWindow(R"(<control kind="userpane" signature="kvx  " top="0" left="0" bottom="1" right="1"/>)")},
        BadFile{"WordAsID", InWindow(R"(<control kind="userpane" id="one" top="0" left="0" bottom="1" right="1"/>)")},
        BadFile{"ControlInPopup", InWindow(R"(<control kind="popup" top="0" left="0" bottom="1" right="1">
            <control kind="userpane" top="0" left="0" bottom="1" right="1"/></control>)")},
        BadFile{"ControlInField", InWindow(R"(<control kind="edittext" top="0" left="0" bottom="1" right="1">
            <control kind="userpane" top="0" left="0" bottom="1" right="1"/></control>)")},
        BadFile{"ItemInPane", InWindow(R"(<control kind="userpane" top="0" left="0" bottom="1" right="1">
            <item>A</item></control>)")},
        BadFile{"ItemsWithoutMenu", InWindow(R"(<control kind="popup" menu="none" top="0" left="0" bottom="1"
            right="1"><item>A</item></control>)")},
        BadFile{"ElementInItem", InWindow(R"(<control kind="popup" top="0" left="0" bottom="1" right="1">
            <item><b>A</b></item></control>)")},
        BadFile{"UnknownAttribute",
                InWindow(R"(<control kind="userpane" colour="red" top="0" left="0" bottom="1" right="1"/>)")},
        BadFile{"TextOnAPane", InWindow(R"(<control kind="userpane" text="x" top="0" left="0" bottom="1" right="1"/>)")},
        BadFile{"EnabledYes",
                InWindow(R"(<control kind="userpane" enabled="yes" top="0" left="0" bottom="1" right="1"/>)")},
        BadFile{"StrayText", InWindow("hello")},
        BadFile{"AttributeTwice", R"(<nib><window name="Window" name="Other" width="1" height="1"/></nib>)"},
        BadFile{"WindowWithoutSize", R"(<nib><window name="Window" width="10"/></nib>)"},
        BadFile{"WindowPast16Bits", R"(<nib><window name="Window" x="30000" width="5000" height="1"/></nib>)"},
        BadFile{"TwoWindowsOneName",
                R"(<nib><window name="Window" width="1" height="1"/><window name="Window" width="1" height="1"/></nib>)"},
        BadFile{"NestedTooDeeply", Nested(200)},
        // Good controls before a bad one: what was read so far must not survive.
        BadFile{"BadAfterGood", InWindow(R"(<control kind="userpane" top="0" left="0" bottom="1" right="1">
            <control kind="popup" top="0" left="0" bottom="1" right="1"><item>A</item></control></control>
            <control kind="edittext" top="0" left="0" bottom="1"/>)")}),
    [](const ::testing::TestParamInfo<BadFile> &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvx::test
