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

// Opens the file and makes its "Window": the first nonzero status, or 0.
OSStatus Load(const std::string &path, WindowRef *outWindow) {
    IBNibRef nib = nullptr;
    OSStatus status = KVXCreateNibReferenceWithPath(path.c_str(), &nib);
    if (status != noErr) return status;
    status = CreateWindowFromNib(nib, CFSTR("Window"), outWindow);
    DisposeNibReference(nib);
    return status;
}

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


    static ControlRef Find(WindowRef window, SInt32 id) {
        const ControlID controlID{'kvx ', id};
        ControlRef control = nullptr;
        GetControlByID(window, &controlID, &control);
        return control;
    }

    std::filesystem::path folder;
};

std::string Title(CFStringRef title) {
    const CFHolder<CFStringRef> held(title);
    return ToUTF8(title);
}

TEST_F(Nib, GoodFileBuildsTheWindowsTree) {
    WindowRef window = nullptr;
    ASSERT_EQ(Load(Write(kGoodNib), &window), noErr);
    Rect content{}, bounds{};
    GetWindowBounds(window, kWindowContentRgn, &content);
    EXPECT_EQ(content, (Rect{30, 40, 200, 500}));
    CFStringRef text = nullptr;
    CopyWindowTitleAsCFString(window, &text);
    EXPECT_EQ(Title(text), "Job Options");

    ControlRef container = Find(window, 1), label = nullptr, printMode = Find(window, 5), din = Find(window, 6);
    ASSERT_NE(container, nullptr);
    UInt16 children = 0;
    CountSubControls(container, &children);
    EXPECT_EQ(children, 5);
    GetIndexedSubControl(container, 1, &label);
    ControlKind kind{};
    GetControlKind(label, &kind);
    EXPECT_EQ(kind.kind, static_cast<OSType>(kControlKindStaticText));
    CopyControlTitleAsCFString(label, &text);
    EXPECT_EQ(Title(text), "Print mode:");

    EXPECT_EQ(GetControl32BitValue(printMode), 2);
    GetControlBounds(printMode, &bounds);
    EXPECT_EQ(bounds, (Rect{16, 130, 36, 300}));
    MenuRef menu = GetControlPopupMenuHandle(printMode);
    ASSERT_EQ(CountMenuItems(menu), 2);
    CopyMenuItemTextAsCFString(menu, 2, &text);
    EXPECT_EQ(Title(text), "Épreuve");

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

// The title of the window "Window" in the file at path, or the status that opening it gave.
std::string TitleFrom(const std::string &path) {
    WindowRef window = nullptr;
    const OSStatus status = Load(path, &window);
    if (status != noErr) return "status " + std::to_string(status);
    CFStringRef title = nullptr;
    EXPECT_EQ(CopyWindowTitleAsCFString(window, &title), noErr);
    DisposeWindow(window);
    return Title(title);
}

TEST_F(Nib, EachOpeningReadsTheFileAsItIsNow) {
    const auto titled = [](std::string_view title) {
        return R"(<nib><window name="Window" title=")" + std::string(title) + R"(" width="100" height="50"/></nib>)";
    };
    const std::string first = Write(titled("One"), "first.nib");
    EXPECT_EQ(TitleFrom(first), "One");
    EXPECT_EQ(TitleFrom(first), "One");
    // Same size, same path, at once: only the bytes tell the files apart.
    Write(titled("Two"), "first.nib");
    EXPECT_EQ(TitleFrom(first), "Two");
    EXPECT_EQ(TitleFrom(Write(titled("Six"), "second.nib")), "Six");
    EXPECT_EQ(TitleFrom(first), "Two");
    Write("<nib><window", "first.nib");
    EXPECT_EQ(TitleFrom(first), "status " + std::to_string(kKVXNibMalformedErr));
    std::filesystem::remove(first);
    EXPECT_EQ(TitleFrom(first), "status " + std::to_string(kIBCarbonRuntimeCantFindNibFile));
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

// A control of the kind with these attributes and children, at bounds 0,0,1,1 unless others are given.
std::string C(std::string_view kind, std::string_view attributes = "", std::string_view children = "",
              std::string_view bounds = R"(top="0" left="0" bottom="1" right="1")") {
    return "<control " + (kind.empty() ? "" : "kind=\"" + std::string(kind) + "\" ") + std::string(attributes) + " " +
           std::string(bounds) + (children.empty() ? "/>" : ">" + std::string(children) + "</control>");
}

std::string Nested(int depth) {
    std::string controls;
    for (int level = 0; level < depth; ++level) controls = C("userpane", "", controls);
    return R"(<nib><window name="Window" width="1" height="1">)" + controls + "</window></nib>";
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
        BadFile{"UnknownKind", InWindow(C("slider"))}, BadFile{"NoKind", InWindow(C(""))},
        BadFile{"MissingBound", InWindow(C("userpane", "", "", R"(top="0" left="0" bottom="1")"))},
        BadFile{"WordAsBound", InWindow(C("userpane", "", "", R"(top="ten" left="0" bottom="1" right="1")"))},
        BadFile{"BoundWithJunk", InWindow(C("userpane", "", "", R"(top="1x" left="0" bottom="1" right="1")"))},
        BadFile{"BoundPast16Bits", InWindow(C("userpane", "", "", R"(top="0" left="0" bottom="40000" right="1")"))},
        BadFile{"InvertedBounds", InWindow(C("userpane", "", "", R"(top="9" left="0" bottom="1" right="1")"))},
        BadFile{"ShortSignature", InWindow(C("userpane", R"(signature="kvx")"))},
        BadFile{"LongSignature", InWindow(C("userpane", R"(signature="kvx  ")"))},
        BadFile{"WordAsID", InWindow(C("userpane", R"(id="one")"))},
        BadFile{"ControlInPopup", InWindow(C("popup", "", C("userpane")))},
        BadFile{"ControlInField", InWindow(C("edittext", "", C("userpane")))},
        BadFile{"ItemInPane", InWindow(C("userpane", "", "<item>A</item>"))},
        BadFile{"ItemsWithoutMenu", InWindow(C("popup", R"(menu="none")", "<item>A</item>"))},
        BadFile{"ElementInItem", InWindow(C("popup", "", "<item><b>A</b></item>"))},
        BadFile{"UnknownAttribute", InWindow(C("userpane", R"(colour="red")"))},
        BadFile{"TextOnAPane", InWindow(C("userpane", R"(text="x")"))},
        BadFile{"EnabledYes", InWindow(C("userpane", R"(enabled="yes")"))}, BadFile{"StrayText", InWindow("hello")},
        BadFile{"AttributeTwice", R"(<nib><window name="Window" name="Other" width="1" height="1"/></nib>)"},
        BadFile{"WindowWithoutSize", R"(<nib><window name="Window" width="10"/></nib>)"},
        BadFile{"WindowPast16Bits", R"(<nib><window name="Window" x="30000" width="5000" height="1"/></nib>)"},
        BadFile{"TwoWindowsOneName",
                R"(<nib><window name="Window" width="1" height="1"/><window name="Window" width="1" height="1"/></nib>)"},
        BadFile{"NestedTooDeeply", Nested(200)},
        // Good controls before a bad one: what was read so far must not survive.
        BadFile{"BadAfterGood", InWindow(C("userpane", "", C("popup", "", "<item>A</item>")) +
                                         C("edittext", "", "", R"(top="0" left="0" bottom="1")"))}),
    [](const ::testing::TestParamInfo<BadFile> &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvx::test
