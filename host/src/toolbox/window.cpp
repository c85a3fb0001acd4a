#include "window.hpp"

#include "KVXHost.h"
#include "core/faults.hpp"
#include "core/strings.hpp"
#include "geometry.hpp"

namespace kvx::host {

CFTypeID Window::Type() {
    static const CFTypeID type = RegisterType("Window");
    return type;
}

Window::Window(const Rect &content)
    : Object(Type()),
      content_(content),
      root_(Adopt(Create<Control>(kControlKindUserPane,
                                  Rect{0, 0, SaturateCoordinate(Height(content)), SaturateCoordinate(Width(content))}))) {
    root_->becomeRootOf(this);
}

Window::~Window() { root_->becomeRootOf(nullptr); }

Window *AsWindow(WindowRef ref) { return As<Window>(ref, Window::Type()); }

}  // namespace kvx::host

using kvx::host::AsWindow;
using kvx::host::Window;

namespace {

bool IsKnownRegion(WindowRegionCode code) { return code == kWindowStructureRgn || code == kWindowContentRgn; }

}  // namespace

extern "C" {

CFTypeID KVXWindowGetTypeID(void) { return Window::Type(); }

// The class and attributes are accepted and not kept: nothing here differs by them.
OSStatus CreateNewWindow(WindowClass, WindowAttributes, const Rect *contentBounds, WindowRef *outWindow) {
    if (outWindow == nullptr) return paramErr;
    *outWindow = nullptr;
    if (contentBounds == nullptr || kvx::host::Width(*contentBounds) < 0 || kvx::host::Height(*contentBounds) < 0)
        return paramErr;
    *outWindow = kvx::host::ToRef<WindowRef>(kvx::host::Create<Window>(*contentBounds));
    return noErr;
}

// The same as CFRelease: a window that a dispatch in progress still holds
// goes when the dispatch ends.
void DisposeWindow(WindowRef window) {
    if (Window *object = AsWindow(window)) object->release();
}

// Without frames, the structure region is the content region.
OSStatus GetWindowBounds(WindowRef window, WindowRegionCode regionCode, Rect *globalBounds) {
    const Window *object = AsWindow(window);
    if (object == nullptr || kvx::host::ShouldFail(kKVXFaultGetWindowBounds)) return errInvalidWindowRef;
    if (!IsKnownRegion(regionCode) || globalBounds == nullptr) return paramErr;
    *globalBounds = object->content();
    return noErr;
}

OSStatus SetWindowTitleWithCFString(WindowRef window, CFStringRef title) {
    Window *object = AsWindow(window);
    if (object == nullptr) return errInvalidWindowRef;
    if (title == nullptr) return paramErr;
    object->setTitle(std::u16string(kvx::host::StringView(title)));
    return noErr;
}

OSStatus CopyWindowTitleAsCFString(WindowRef window, CFStringRef *outTitle) {
    if (outTitle == nullptr) return paramErr;
    *outTitle = nullptr;
    const Window *object = AsWindow(window);
    if (object == nullptr || kvx::host::ShouldFail(kKVXFaultCopyWindowTitle)) return errInvalidWindowRef;
    *outTitle = kvx::host::CreateString(object->title());
    return noErr;
}

OSStatus GetRootControl(WindowRef window, ControlRef *outControl) {
    if (outControl == nullptr) return paramErr;
    *outControl = nullptr;
    Window *object = AsWindow(window);
    if (object == nullptr) return errInvalidWindowRef;
    *outControl = kvx::host::ToRef<ControlRef>(&object->root());
    return noErr;
}

EventTargetRef GetWindowEventTarget(WindowRef window) {
    Window *object = AsWindow(window);
    return object == nullptr ? nullptr : object->eventTarget().ref();
}

}  // extern "C"
