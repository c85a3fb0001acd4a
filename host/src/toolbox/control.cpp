#include "control.hpp"

#include <algorithm>

#include "KVXHost.h"
#include "core/strings.hpp"
#include "geometry.hpp"
#include "window.hpp"

namespace kvx::host {

CFTypeID Control::Type() {
    static const CFTypeID type = RegisterType("Control");
    return type;
}

Control::Control(OSType kind, const Rect &bounds) : Object(Type()), kind_(kind), bounds_(bounds) {}

Control::~Control() {
    // A child that a dispatch in progress still holds outlives its container.
    for (auto &child : children_) child->parent_ = nullptr;
}

void Control::setBounds(const Rect &bounds) {
    const long dh = static_cast<long>(bounds.left) - bounds_.left;
    const long dv = static_cast<long>(bounds.top) - bounds_.top;
    bounds_ = bounds;
    for (auto &child : children_) child->moveBy(dh, dv);
}

void Control::moveBy(long dh, long dv) {
    bounds_ = OffsetBy(bounds_, dh, dv);
    for (auto &child : children_) child->moveBy(dh, dv);
}

Window *Control::owner() const {
    const Control *top = this;
    while (top->parent_ != nullptr) top = top->parent_;
    return top->rootOf_;
}

void Control::embed(Reference<Control> child) {
    child->parent_ = this;
    children_.push_back(std::move(child));
}

Reference<Control> Control::unembed(Control &child) {
    const auto found = std::find_if(children_.begin(), children_.end(),
                                    [&](const Reference<Control> &embedded) { return embedded.get() == &child; });
    if (found == children_.end()) return nullptr;
    Reference<Control> taken = std::move(*found);
    children_.erase(found);
    taken->parent_ = nullptr;
    return taken;
}

bool Control::encloses(const Control &other) const {
    for (const Control *ancestor = &other; ancestor != nullptr; ancestor = ancestor->parent_)
        if (ancestor == this) return true;
    return false;
}

Control *Control::find(const ControlID &id) {
    if (id_.signature == id.signature && id_.id == id.id) return this;
    for (auto &child : children_)
        if (Control *found = child->find(id)) return found;
    return nullptr;
}

Control *AsControl(ControlRef ref) { return As<Control>(ref, Control::Type()); }

OSStatus PlaceNewControl(WindowRef window, const Rect *boundsRect, ControlRef *outControl,
                         const std::function<Reference<Control>(const Rect &bounds)> &make) {
    if (outControl == nullptr) return paramErr;
    *outControl = nullptr;
    Window *owner = AsWindow(window);
    if (owner == nullptr) return errInvalidWindowRef;
    if (boundsRect == nullptr) return paramErr;
    Reference<Control> control = make(*boundsRect);
    *outControl = ToRef<ControlRef>(control.get());
    owner->root().embed(std::move(control));
    return noErr;
}

}  // namespace kvx::host

using kvx::host::AsControl;
using kvx::host::Control;

extern "C" {

CFTypeID KVXControlGetTypeID(void) { return Control::Type(); }

OSStatus CreateUserPaneControl(WindowRef window, const Rect *boundsRect, UInt32, ControlRef *outControl) {
    return kvx::host::PlaceNewControl(window, boundsRect, outControl, [](const Rect &bounds) {
        return kvx::host::Adopt(kvx::host::Create<Control>(kControlKindUserPane, bounds));
    });
}

// The text is the control's title.
OSStatus CreateStaticTextControl(WindowRef window, const Rect *boundsRect, CFStringRef text, const void *,
                                 ControlRef *outControl) {
    return kvx::host::PlaceNewControl(window, boundsRect, outControl, [&](const Rect &bounds) {
        auto control = kvx::host::Adopt(kvx::host::Create<Control>(kControlKindStaticText, bounds));
        control->setTitle(std::u16string(kvx::host::StringView(text)));
        return control;
    });
}

OSStatus GetControlKind(ControlRef control, ControlKind *outKind) {
    const Control *object = AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (outKind == nullptr) return paramErr;
    *outKind = ControlKind{kControlKindSignatureApple, object->kind()};
    return noErr;
}

OSStatus SetControlID(ControlRef control, const ControlID *inID) {
    Control *object = AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (inID == nullptr) return paramErr;
    object->setID(*inID);
    return noErr;
}

OSStatus GetControlID(ControlRef control, ControlID *outID) {
    const Control *object = AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (outID == nullptr) return paramErr;
    *outID = object->id();
    return noErr;
}

OSStatus EnableControl(ControlRef control) {
    Control *object = AsControl(control);
    if (object == nullptr) return errUnknownControl;
    object->setEnabled(true);
    return noErr;
}

OSStatus DisableControl(ControlRef control) {
    Control *object = AsControl(control);
    if (object == nullptr) return errUnknownControl;
    object->setEnabled(false);
    return noErr;
}

Boolean IsControlEnabled(ControlRef control) {
    const Control *object = AsControl(control);
    return object != nullptr && object->isEnabled();
}

SInt32 GetControl32BitValue(ControlRef control) {
    const Control *object = AsControl(control);
    return object == nullptr ? 0 : object->value();
}

void SetControl32BitValue(ControlRef control, SInt32 newValue) {
    if (Control *object = AsControl(control)) object->setValue(newValue);
}

OSStatus CopyControlTitleAsCFString(ControlRef control, CFStringRef *outTitle) {
    if (outTitle == nullptr) return paramErr;
    *outTitle = nullptr;
    const Control *object = AsControl(control);
    if (object == nullptr) return errUnknownControl;
    *outTitle = kvx::host::CreateString(object->title());
    return noErr;
}

OSStatus SetControlTitleWithCFString(ControlRef control, CFStringRef title) {
    Control *object = AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (title == nullptr) return paramErr;
    object->setTitle(std::u16string(kvx::host::StringView(title)));
    return noErr;
}

EventTargetRef GetControlEventTarget(ControlRef control) {
    Control *object = AsControl(control);
    return object == nullptr ? nullptr : object->eventTarget().ref();
}

}  // extern "C"
