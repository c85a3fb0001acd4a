// The interface-file loader on arbitrary bytes: the file opens or fails with
// one of its two statuses, and a window made from it is whole: every control
// lies inside a well-formed tree, has ordered bounds and can be found by its
// ID, every popup item's text and every field's text can be read.
// Everything made is released again. A replayed seed named refused-* must
// fail to open: those seeds are the malformed forms the format forbids.
#include <cstdint>

#include "KVXHostSupport.hpp"
#include "fuzz_check.hpp"
#include "memory_file.hpp"

namespace {

constexpr int kMaxControlDepth = 1 + 32;  // the root, then the nesting the format allows

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
    ControlRef found = nullptr;
    FUZZ_CHECK(parent == nullptr || (GetControlByID(window, &id, &found) == noErr && found != nullptr), "a control not found by its ID");

    ControlKind kind{};
    FUZZ_CHECK(GetControlKind(control, &kind) == noErr, "a control without a kind");
    const MenuRef menu = kind.kind == kControlKindPopupButton ? GetControlPopupMenuHandle(control) : nullptr;
    for (UInt16 item = 1; menu != nullptr && item <= CountMenuItems(menu); ++item) {
        kvx::CFHolder<CFStringRef> text;
        FUZZ_CHECK(CopyMenuItemTextAsCFString(menu, item, text.out()) == noErr && text, "an item without its text");
    }
    if (kind.kind == kControlKindEditUnicodeText) {
        kvx::CFHolder<CFStringRef> text;
        FUZZ_CHECK(GetControlData(control, kControlEntireControl, kControlEditTextCFStringTag, sizeof(CFStringRef), text.out(), nullptr) == noErr && text,
                   "a field whose text cannot be read");
    }
    UInt16 children = 0;
    CountSubControls(control, &children);
    FUZZ_CHECK(children == 0 || kind.kind == kControlKindUserPane || parent == nullptr, "a control that is no container holds others");
    for (UInt16 index = 1; index <= children; ++index) {
        ControlRef child = nullptr;
        FUZZ_CHECK(GetIndexedSubControl(control, index, &child) == noErr && child != nullptr, "a missing child");
        CheckControl(window, child, control, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    {
        const kvx::fuzz::MemoryFile file(data, size);
        FUZZ_CHECK(!file.path().empty(), "no memory file for the input");
        IBNibRef nib = nullptr;
        const OSStatus opened = KVXCreateNibReferenceWithPath(file.path().c_str(), &nib);
        FUZZ_CHECK((opened == noErr) == (nib != nullptr), "an open status that does not match the reference");
        FUZZ_CHECK(opened == noErr || opened == kKVXNibMalformedErr, "a readable file refused for another reason than its form");
        FUZZ_CHECK(opened != noErr || !kvx::fuzz::ReplayedName().starts_with("refused-"), "a seed named refused- opened");
        // Two windows from one file: a file is read once and used again.
        for (int round = 0; nib != nullptr && round < 2; ++round) {
            WindowRef window = nullptr;
            const OSStatus made = CreateWindowFromNib(nib, CFSTR("Window"), &window);
            FUZZ_CHECK((made == noErr) == (window != nullptr), "a window status that does not match the window");
            FUZZ_CHECK(made == noErr || made == kIBCarbonRuntimeCantFindObject, "an unexpected window status");
            if (window == nullptr) break;
            Rect content{};
            FUZZ_CHECK(GetWindowBounds(window, kWindowContentRgn, &content) == noErr, "a window without bounds");
            FUZZ_CHECK(content.bottom >= content.top && content.right >= content.left, "a window with inverted bounds");
            ControlRef root = nullptr;
            FUZZ_CHECK(GetRootControl(window, &root) == noErr && root != nullptr, "a window without a root control");
            CheckControl(window, root, nullptr, 1);
            DisposeWindow(window);
        }
        if (nib != nullptr) DisposeNibReference(nib);
    }
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "loading an interface file left host objects alive");
    return 0;
}
