// Event targets and the handlers installed on them.
#pragma once

#include <array>
#include <cstddef>
#include <utility>
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

// The handlers held for one dispatch, in the order they run. Up to eight
// live inside the holder itself, so that a dispatch to a target with few
// handlers costs no allocation; more go on to a vector.
class HeldHandlers {
public:
    void push(Reference<EventHandler> handler) {
        if (inlineCount_ < kInline) inline_[inlineCount_++] = std::move(handler);
        else more_.push_back(std::move(handler));
    }
    std::size_t size() const { return inlineCount_ + more_.size(); }
    const EventHandler &operator[](std::size_t index) const {
        return index < kInline ? *inline_[index] : *more_[index - kInline];
    }

private:
    static constexpr std::size_t kInline = 8;
    std::array<Reference<EventHandler>, kInline> inline_{};
    std::size_t inlineCount_ = 0;
    std::vector<Reference<EventHandler>> more_;
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
    // Handing out the reference is what makes the target known to FromRef:
    // most controls never have theirs asked for, so they skip the registry.
    EventTargetRef ref();
    // The live target behind a reference; null for null or for a target
    // that has died, so that a stale reference cannot reach freed memory.
    static EventTarget *FromRef(EventTargetRef ref);

    // Takes over the new handler's reference; it runs before all earlier ones.
    void install(Reference<EventHandler> handler);
    void remove(EventHandler &handler);
    // The handlers that take the event type, latest first, held for a
    // dispatch so that removing one meanwhile cannot free it under the caller.
    void holdHandlersFor(UInt32 eventClass, UInt32 eventKind, HeldHandlers &held) const;

private:
    Object &owner_;
    bool referenced_ = false;  // in the registry of live targets
    std::vector<Reference<EventHandler>> handlers_;  // oldest first
};

}  // namespace kvx::host
