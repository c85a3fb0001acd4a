// The interface-file loader on arbitrary bytes: the file opens or fails with
// one of its two statuses, and a window made from it is whole: every control
// lies inside a well-formed tree, has ordered bounds and can be found by its
// ID, every popup item's text can be read, every field holds its caret at
// the end. Everything made is released again.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "KVXHostSupport.hpp"
#include "fuzz_check.hpp"
#include "memory_file.hpp"

// The window that the pane loads from its interface file.
#define kWindowName CFSTR("Window")

namespace {

constexpr int kMaxControlDepth = 1 + 32;  // the root, then the nesting the format allows

void CheckPopupMenu(ControlRef popup) {
    const MenuRef menu = GetControlPopupMenuHandle(popup);
    if (menu == nullptr) return;
    const UInt16 count = CountMenuItems(menu);
    for (UInt16 item = 1; item <= count; ++item) {
        kvx::CFHolder<CFStringRef> text;
        FUZZ_CHECK(CopyMenuItemTextAsCFString(menu, item, text.out()) == noErr && text, "an item without its text");
    }
    kvx::CFHolder<CFStringRef> beyond;
    FUZZ_CHECK(CopyMenuItemTextAsCFString(menu, static_cast<MenuItemIndex>(count + 1), beyond.out()) != noErr,
               "a text for an item past the menu's end");
    FUZZ_CHECK(CopyMenuItemTextAsCFString(menu, 0, beyond.out()) != noErr, "a text for item 0");
}

void CheckEditField(ControlRef field) {
    kvx::CFHolder<CFStringRef> text;
    FUZZ_CHECK(GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof(CFStringRef),
                              text.out(), nullptr) == noErr &&
                   text,
               "a field whose text cannot be read");
    ControlEditTextSelectionRec selection{-1, -1};
    FUZZ_CHECK(GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection,
                              &selection, nullptr) == noErr,
               "a field whose selection cannot be read");
    const CFIndex caret = std::min<CFIndex>(CFStringGetLength(text.get()), std::numeric_limits<SInt16>::max());
    FUZZ_CHECK(selection.selStart == caret && selection.selEnd == caret, "a new field whose caret is not at its end");
}

void CheckControl(WindowRef window, ControlRef control, ControlRef parent, int depth) {
    FUZZ_CHECK(depth <= kMaxControlDepth, "controls nested deeper than the format allows");
    FUZZ_CHECK(GetControlOwner(control) == window, "a control owned by another window");
    ControlRef super = nullptr;
    FUZZ_CHECK(GetSuperControl(control, &super) == noErr || parent == nullptr, "a control without its container");
    FUZZ_CHECK(super == parent, "a control whose container is not the one that holds it");

    Rect bounds{};
    GetControlBounds(control, &bounds);
    FUZZ_CHECK(bounds.bottom >= bounds.top && bounds.right >= bounds.left, "a control with inverted bounds");

    ControlID id{};
    FUZZ_CHECK(GetControlID(control, &id) == noErr, "a control without an ID");
    if (parent != nullptr) {
        ControlRef found = nullptr;
        ControlID foundID{};
        FUZZ_CHECK(GetControlByID(window, &id, &found) == noErr && found != nullptr, "a control not found by its ID");
        GetControlID(found, &foundID);
        FUZZ_CHECK(foundID.signature == id.signature && foundID.id == id.id, "the ID finds a control of another ID");
    }

    ControlKind kind{};
    FUZZ_CHECK(GetControlKind(control, &kind) == noErr, "a control without a kind");
    if (kind.kind == kControlKindPopupButton) CheckPopupMenu(control);
    if (kind.kind == kControlKindEditUnicodeText) CheckEditField(control);

    UInt16 children = 0;
    CountSubControls(control, &children);
    FUZZ_CHECK(children == 0 || kind.kind == kControlKindUserPane || parent == nullptr,
               "a control that is no container holds others");
    for (UInt16 index = 1; index <= children; ++index) {
        ControlRef child = nullptr;
        FUZZ_CHECK(GetIndexedSubControl(control, index, &child) == noErr && child != nullptr, "a missing child");
        CheckControl(window, child, control, depth + 1);
    }
}

void CheckWindow(WindowRef window) {
    Rect content{};
    FUZZ_CHECK(GetWindowBounds(window, kWindowContentRgn, &content) == noErr, "a window without bounds");
    FUZZ_CHECK(content.bottom >= content.top && content.right >= content.left, "a window with inverted bounds");
    kvx::CFHolder<CFStringRef> title;
    FUZZ_CHECK(CopyWindowTitleAsCFString(window, title.out()) == noErr && title, "a window without a title");
    ControlRef root = nullptr;
    FUZZ_CHECK(GetRootControl(window, &root) == noErr && root != nullptr, "a window without a root control");
    CheckControl(window, root, nullptr, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    {
        const kvx::fuzz::MemoryFile file(data, size);
        FUZZ_CHECK(!file.path().empty(), "no memory file for the input");
        IBNibRef nib = nullptr;
        const OSStatus opened = KVXCreateNibReferenceWithPath(file.path().c_str(), &nib);
        if (opened != noErr) {
            FUZZ_CHECK(nib == nullptr, "a failed open handed out a reference");
            FUZZ_CHECK(opened == kKVXNibMalformedErr, "a readable file refused for another reason than its form");
        } else {
            FUZZ_CHECK(nib != nullptr, "an open without a reference");
            // Two windows from one file: a file is read once and used again.
            for (int round = 0; round < 2; ++round) {
                WindowRef window = nullptr;
                const OSStatus made = CreateWindowFromNib(nib, kWindowName, &window);
                FUZZ_CHECK((made == noErr) == (window != nullptr), "a window status that does not match the window");
                FUZZ_CHECK(made == noErr || made == kIBCarbonRuntimeCantFindObject, "an unexpected window status");
                if (window == nullptr) break;
                CheckWindow(window);
                DisposeWindow(window);
            }
            DisposeNibReference(nib);
        }
    }
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "loading an interface file left host objects alive");
    return 0;
}
