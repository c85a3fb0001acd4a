// Event targets and the handlers installed on them.
#pragma once

#include <vector>

#include "Carbon.h"
#include "reference.hpp"

namespace kvx::host {

class EventTarget;

// One installed handler: its routine, the event types it takes and its user
// data. Freed when removed, or when its target dies.
class EventHandler final : public Object {
public:
    static CFTypeID Type();
    EventHandler(EventTarget &target, EventHandlerUPP routine, std::vector<EventTypeSpec> types, void *userData);

    bool takes(UInt32 eventClass, UInt32 eventKind) const;
    // False once removed; a dispatch that still holds it then skips it.
    bool isInstalled() const { return target_ != nullptr; }
    EventTarget *target() const { return target_; }
    OSStatus call(EventHandlerCallRef callRef, EventRef event) const;
    void detach() { target_ = nullptr; }

private:
    EventTarget *target_;
    EventHandlerUPP routine_;
    std::vector<EventTypeSpec> types_;
    void *userData_;
};

// The handler stack of a window or a control. It is not a host object of its
// own: it lives and dies with its owner.
class EventTarget {
public:
    explicit EventTarget(Object &owner);
    // Removes and frees every handler still installed.
    ~EventTarget();
    EventTarget(const EventTarget &) = delete;
    EventTarget &operator=(const EventTarget &) = delete;

    Object &owner() const { return owner_; }
    EventTargetRef ref() { return reinterpret_cast<EventTargetRef>(this); }
    // The live target behind a reference; null for null or for a target
    // that has died, so that a stale reference cannot reach freed memory.
    static EventTarget *FromRef(EventTargetRef ref);

    // Takes over the new handler's reference; it runs before all earlier ones.
    void install(Reference<EventHandler> handler);
    void remove(EventHandler &handler);
    // The handlers that take the event type, latest first, held for a
    // dispatch so that removing one meanwhile cannot free it under the caller.
    std::vector<Reference<EventHandler>> holdHandlersFor(UInt32 eventClass, UInt32 eventKind) const;

private:
    Object &owner_;
    std::vector<Reference<EventHandler>> handlers_;  // oldest first
};

}  // namespace kvx::host
