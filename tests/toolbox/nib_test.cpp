// Interface files: a good file builds its window's tree with its popups'
// menus; a bad one builds nothing at all.
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
    </control>
  </window>
</nib>
)";

class Nib : public ToolboxTest {
protected:
    // Writes the file and makes its "Window": the first nonzero status, or 0.
    OSStatus Load(std::string_view contents, WindowRef *outWindow) const {
        IBNibRef nib = nullptr;
        OSStatus status = KVXCreateNibReferenceWithPath(folder.write("test.nib", contents).c_str(), &nib);
        if (status != noErr) return status;
        status = CreateWindowFromNib(nib, CFSTR("Window"), outWindow);
        DisposeNibReference(nib);
        return status;
    }

    TempFolder folder;
};

std::string Title(CFStringRef title) {
    const CFHolder<CFStringRef> held(title);
    return ToUTF8(title);
}

// The pane's own file, shown by every scenario, proves the common kinds, and
// hostile.scenario a popup without a menu or items; this one adds what neither uses.
TEST_F(Nib, GoodFileBuildsTheWindowsTree) {
    WindowRef window = nullptr;
    ASSERT_EQ(Load(kGoodNib, &window), noErr);
    Rect content{};
    GetWindowBounds(window, kWindowContentRgn, &content);
    EXPECT_EQ(content, (Rect{30, 40, 200, 500}));
    CFStringRef text = nullptr;
    CopyWindowTitleAsCFString(window, &text);
    EXPECT_EQ(Title(text), "Job Options");

    ControlRef printMode = Find(window, 5), din = Find(window, 6);
    ASSERT_NE(printMode, nullptr);
    EXPECT_EQ(GetControl32BitValue(printMode), 2);
    MenuRef menu = GetControlPopupMenuHandle(printMode);
    ASSERT_EQ(CountMenuItems(menu), 2);
    CopyMenuItemTextAsCFString(menu, 2, &text);
    EXPECT_EQ(Title(text), "Épreuve");

    EXPECT_EQ(FieldText(din), "007");
    EXPECT_FALSE(IsControlEnabled(din));
    DisposeWindow(window);
}

TEST_F(Nib, OpensFromABundlesResourcesOrSaysWhatIsMissing) {
    folder.write("Test.plugin/Contents/Info.plist", InfoPlist("org.kvx.nib-test"));
    folder.write("Test.plugin/Contents/Resources/PDE.nib", R"(<nib><window name="Window" width="100" height="50"/></nib>)");
    CFBundleRef bundle = KVXBundleOpen((folder.path() / "Test.plugin").c_str(), nullptr);
    ASSERT_NE(bundle, nullptr);
    IBNibRef nib = nullptr;
    WindowRef window = nullptr;
    ASSERT_EQ(CreateNibReferenceWithCFBundle(bundle, CFSTR("PDE"), &nib), noErr);
    EXPECT_EQ(CreateWindowFromNib(nib, CFSTR("Dialog"), &window), kIBCarbonRuntimeCantFindObject);
    EXPECT_EQ(window, nullptr);
    DisposeNibReference(nib);
    for (const CFStringRef missing : {CFSTR("Missing"), CFSTR("../Resources/PDE")}) {
        EXPECT_EQ(CreateNibReferenceWithCFBundle(bundle, missing, &nib), kIBCarbonRuntimeCantFindNibFile) << "a name never leads out";
        EXPECT_EQ(nib, nullptr);
    }
}

// A control of the kind with these attributes and children, at bounds 0,0,1,1 unless others are given.
std::string C(std::string_view kind, std::string_view attributes = "", std::string_view children = "",
              std::string_view bounds = R"(top="0" left="0" bottom="1" right="1")") {
    return "<control " + (kind.empty() ? "" : "kind=\"" + std::string(kind) + "\" ") + std::string(attributes) + " " +
           std::string(bounds) + (children.empty() ? "/>" : ">" + std::string(children) + "</control>");
}

std::string InWindow(std::string_view controls) {
    return R"(<nib><window name="Window" width="100" height="100">)" + std::string(controls) + "</window></nib>";
}

// Inverted bounds and nesting past the limit are nib fuzz seeds: that replay
// fails when a window with either is made.
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
        // Good controls before a bad one: what was read so far must not survive.
        {"BadAfterGood", InWindow(C("userpane", "", C("popup", "", "<item>A</item>")) +
                                         C("edittext", "", "", R"(top="0" left="0" bottom="1")"))}};
    for (const auto &bad : cases) {
        WindowRef window = nullptr;
        EXPECT_EQ(Load(bad.xml, &window), kKVXNibMalformedErr) << bad.name;
        EXPECT_EQ(window, nullptr) << bad.name;
    }
}

}  // namespace
}  // namespace kvx::test
