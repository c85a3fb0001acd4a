// Interface files: a good file builds its window's tree with its popups'
// menus, from a file or a bundle's resources. Each malformed form is a nib
// fuzz seed named refused-*, which that replay requires to be refused.
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

}  // namespace
}  // namespace kvx::test
