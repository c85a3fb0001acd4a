// The C operations on the tree of controls: embedding, search, bounds and
// disposal.
#include "KVXHost.h"
#include "control.hpp"
#include "window.hpp"

using kvx::host::AsControl;
using kvx::host::AsWindow;
using kvx::host::Control;
using kvx::host::ToRef;

extern "C" {

// A window's root control goes with its window only.
void DisposeControl(ControlRef control) {
    Control *object = AsControl(control);
    if (object == nullptr || object->parent() == nullptr) return;
    const auto disposed = object->parent()->unembed(*object);
}

OSStatus GetControlByID(WindowRef window, const ControlID *inID, ControlRef *outControl) {
    if (outControl == nullptr || inID == nullptr) return paramErr;
    *outControl = nullptr;
    kvx::host::Window *owner = AsWindow(window);
    if (owner == nullptr) return errInvalidWindowRef;
    Control *found = owner->root().find(*inID);
    if (found == nullptr) return errUnknownControl;
    *outControl = ToRef<ControlRef>(found);
    return noErr;
}

WindowRef GetControlOwner(ControlRef control) {
    const Control *object = AsControl(control);
    return object == nullptr ? nullptr : ToRef<WindowRef>(object->owner());
}

// The root control has no super control: errUnknownControl and null.
OSStatus GetSuperControl(ControlRef control, ControlRef *outParent) {
    if (outParent == nullptr) return paramErr;
    *outParent = nullptr;
    const Control *object = AsControl(control);
    if (object == nullptr || object->parent() == nullptr) return errUnknownControl;
    *outParent = ToRef<ControlRef>(object->parent());
    return noErr;
}

OSStatus CountSubControls(ControlRef control, UInt16 *outNumChildren) {
    const Control *object = AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (outNumChildren == nullptr) return paramErr;
    *outNumChildren = static_cast<UInt16>(object->children().size());
    return noErr;
}

OSStatus GetIndexedSubControl(ControlRef control, UInt16 inIndex, ControlRef *outSubControl) {
    if (outSubControl == nullptr) return paramErr;
    *outSubControl = nullptr;
    const Control *object = AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (inIndex < 1 || inIndex > object->children().size()) return paramErr;
    *outSubControl = ToRef<ControlRef>(object->children()[inIndex - 1].get());
    return noErr;
}

// Refuses (paramErr) to move a root control, to move a control into itself
// or into something embedded in it, and to embed in anything but a user pane.
OSErr EmbedControl(ControlRef inControl, ControlRef inContainer) {
    Control *control = AsControl(inControl);
    Control *container = AsControl(inContainer);
    if (control == nullptr || container == nullptr) return errUnknownControl;
    if (control->parent() == nullptr || control->encloses(*container) || !container->canEmbed()) return paramErr;
    container->embed(control->parent()->unembed(*control));
    return noErr;
}

// A non-control gives an empty rectangle.
Rect *GetControlBounds(ControlRef control, Rect *outBounds) {
    if (outBounds == nullptr) return nullptr;
    const Control *object = AsControl(control);
    *outBounds = object == nullptr ? Rect{} : object->bounds();
    return outBounds;
}

void SetControlBounds(ControlRef control, const Rect *inBounds) {
    Control *object = AsControl(control);
    if (object != nullptr && inBounds != nullptr) object->setBounds(*inBounds);
}

}  // extern "C"
