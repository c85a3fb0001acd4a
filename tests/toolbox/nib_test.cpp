// Interface files: a good file builds its window's tree with its popups'
// menus; a bad one builds nothing at all.
#include <filesystem>
#include <string>

#include "info_plist.hpp"
#include "temp_folder.hpp"
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
    std::string Write(std::string_view contents, const std::string &name = "test.nib") const {
        return folder.write(name, contents).string();
    }

    static ControlRef Find(WindowRef window, SInt32 id) {
        const ControlID controlID{'kvx ', id};
        ControlRef control = nullptr;
        GetControlByID(window, &controlID, &control);
        return control;
    }

    TempFolder folder;
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
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 3, &text), menuItemNotFoundErr);
    EXPECT_EQ(text, nullptr);
    CheckMenuItem(menu, 2, true);
    CheckMenuItem(menu, 3, true);
    UInt16 marks[2] = {};
    GetItemMark(menu, 1, &marks[0]);
    GetItemMark(menu, 2, &marks[1]);
    EXPECT_EQ(marks[0], kMenuNoMark);
    EXPECT_EQ(marks[1], kMenuCheckMark);
    SetControl32BitValue(printMode, 6);
    EXPECT_EQ(GetControl32BitValue(printMode), 6) << "a popup's value is not clamped to its items";

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

TEST_F(Nib, OpensFromABundlesResourcesAsTheFileIsNowOrSaysWhatIsMissing) {
    Write(InfoPlist("org.kvx.nib-test"), "Test.plugin/Contents/Info.plist");
    const std::string path = Write(R"(<nib><window name="Window" title="One" width="100" height="50"/></nib>)", "Test.plugin/Contents/Resources/PDE.nib");
    CFBundleRef bundle = KVXBundleOpen((folder.path() / "Test.plugin").c_str(), nullptr);
    ASSERT_NE(bundle, nullptr);
    const auto open = [&](CFStringRef name, CFStringRef windowName = CFSTR("Window")) -> std::string {
        IBNibRef nib = nullptr;
        WindowRef window = nullptr;
        OSStatus status = CreateNibReferenceWithCFBundle(bundle, name, &nib);
        if (status == noErr) status = CreateWindowFromNib(nib, windowName, &window);
        if (nib != nullptr) DisposeNibReference(nib);
        if (status != noErr) return window == nullptr ? std::to_string(status) : "a window despite " + std::to_string(status);
        CFStringRef title = nullptr;
        CopyWindowTitleAsCFString(window, &title);
        DisposeWindow(window);
        return Title(title);
    };
    EXPECT_EQ(open(CFSTR("PDE")), "One");
    // Same size, same path, at once: only the bytes tell the files apart.
    Write(R"(<nib><window name="Window" title="Two" width="100" height="50"/></nib>)", "Test.plugin/Contents/Resources/PDE.nib");
    EXPECT_EQ(open(CFSTR("PDE")), "Two");
    EXPECT_EQ(open(CFSTR("PDE"), CFSTR("Dialog")), std::to_string(kIBCarbonRuntimeCantFindObject));
    EXPECT_EQ(open(CFSTR("Missing")), std::to_string(kIBCarbonRuntimeCantFindNibFile));
    EXPECT_EQ(open(CFSTR("../Resources/PDE")), std::to_string(kIBCarbonRuntimeCantFindNibFile)) << "a name never leads out";
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(open(CFSTR("PDE")), std::to_string(kIBCarbonRuntimeCantFindNibFile)) << "a folder";
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

std::string InWindow(std::string_view controls) {
    return R"(<nib><window name="Window" width="100" height="100">)" + std::string(controls) + "</window></nib>";
}

TEST_F(Nib, EachMalformedFileFailsAndLeavesNothingAlive) {
    const struct {
        const char *name;
        std::string xml;
    } cases[] = {
        {"Empty", ""}, {"NotXml", "<nib><window name=\"Window\""}, {"WrongRoot", "<dialog/>"},
        {"UnknownKind", InWindow(C("slider"))}, {"NoKind", InWindow(C(""))},
        {"MissingBound", InWindow(C("userpane", "", "", R"(top="0" left="0" bottom="1")"))},
        {"WordAsBound", InWindow(C("userpane", "", "", R"(top="ten" left="0" bottom="1" right="1")"))},
        {"BoundWithJunk", InWindow(C("userpane", "", "", R"(top="1x" left="0" bottom="1" right="1")"))},
        {"BoundPast16Bits", InWindow(C("userpane", "", "", R"(top="0" left="0" bottom="40000" right="1")"))},
        {"InvertedBounds", InWindow(C("userpane", "", "", R"(top="9" left="0" bottom="1" right="1")"))},
        {"ShortSignature", InWindow(C("userpane", R"(signature="kvx")"))},
        {"LongSignature", InWindow(C("userpane", R"(signature="kvx  ")"))},
        {"WordAsID", InWindow(C("userpane", R"(id="one")"))},
        {"ControlInPopup", InWindow(C("popup", "", C("userpane")))},
        {"ControlInField", InWindow(C("edittext", "", C("userpane")))},
        {"ItemInPane", InWindow(C("userpane", "", "<item>A</item>"))},
        {"ItemsWithoutMenu", InWindow(C("popup", R"(menu="none")", "<item>A</item>"))},
        {"ElementInItem", InWindow(C("popup", "", "<item><b>A</b></item>"))},
        {"UnknownAttribute", InWindow(C("userpane", R"(colour="red")"))},
        {"TextOnAPane", InWindow(C("userpane", R"(text="x")"))},
        {"EnabledYes", InWindow(C("userpane", R"(enabled="yes")"))}, {"StrayText", InWindow("hello")},
        {"AttributeTwice", R"(<nib><window name="Window" name="Other" width="1" height="1"/></nib>)"},
        {"WindowWithoutSize", R"(<nib><window name="Window" width="10"/></nib>)"},
        {"WindowPast16Bits", R"(<nib><window name="Window" x="30000" width="5000" height="1"/></nib>)"},
        {"TwoWindowsOneName",
                R"(<nib><window name="Window" width="1" height="1"/><window name="Window" width="1" height="1"/></nib>)"},
        {"NestedTooDeeply", Nested(200)},
        // Good controls before a bad one: what was read so far must not survive.
        {"BadAfterGood", InWindow(C("userpane", "", C("popup", "", "<item>A</item>")) +
                                         C("edittext", "", "", R"(top="0" left="0" bottom="1")"))}};
    for (const auto &bad : cases) {
        WindowRef window = nullptr;
        EXPECT_EQ(Load(Write(bad.xml), &window), kKVXNibMalformedErr) << bad.name;
        EXPECT_EQ(window, nullptr) << bad.name;
    }
}

}  // namespace
}  // namespace kvx::test
