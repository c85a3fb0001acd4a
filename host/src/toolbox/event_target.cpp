#include "event_target.hpp"

#include <algorithm>
#include <unordered_set>

#include "KVXHost.h"
#include "core/faults.hpp"

namespace kvx::host {
namespace {

// The targets alive now. The toolbox runs on the user-interface thread only.
std::unordered_set<const EventTarget *> &LiveTargets() {
    static std::unordered_set<const EventTarget *> targets;
    return targets;
}

}  // namespace

CFTypeID EventHandler::Type() {
    static const CFTypeID type = RegisterType("EventHandler");
    return type;
}

EventHandler::EventHandler(EventTarget &target, EventHandlerUPP routine, std::vector<EventTypeSpec> types,
                           void *userData)
    : Object(Type()), target_(&target), routine_(routine), types_(std::move(types)), userData_(userData) {}

bool EventHandler::takes(UInt32 eventClass, UInt32 eventKind) const {
    return std::any_of(types_.begin(), types_.end(), [&](const EventTypeSpec &spec) {
        return spec.eventClass == eventClass && spec.eventKind == eventKind;
    });
}

OSStatus EventHandler::call(EventHandlerCallRef callRef, EventRef event) const {
    return routine_(callRef, event, userData_);
}

EventTarget::EventTarget(Object &owner) : owner_(owner) {}

EventTarget::~EventTarget() {
    if (referenced_) LiveTargets().erase(this);
    for (auto &handler : handlers_) handler->detach();
}

EventTargetRef EventTarget::ref() {
    if (!referenced_) {
        LiveTargets().insert(this);
        referenced_ = true;
    }
    return reinterpret_cast<EventTargetRef>(this);
}

EventTarget *EventTarget::FromRef(EventTargetRef ref) {
    auto *target = reinterpret_cast<EventTarget *>(ref);
    return LiveTargets().contains(target) ? target : nullptr;
}

void EventTarget::install(Reference<EventHandler> handler) { handlers_.push_back(std::move(handler)); }

void EventTarget::remove(EventHandler &handler) {
    const auto found = std::find_if(handlers_.begin(), handlers_.end(),
                                    [&](const Reference<EventHandler> &installed) { return installed.get() == &handler; });
    if (found == handlers_.end()) return;
    handler.detach();
    handlers_.erase(found);
}

void EventTarget::holdHandlersFor(UInt32 eventClass, UInt32 eventKind, HeldHandlers &held) const {
    for (auto handler = handlers_.rbegin(); handler != handlers_.rend(); ++handler)
        if ((*handler)->takes(eventClass, eventKind)) held.push(Retain(handler->get()));
}

}  // namespace kvx::host

using kvx::host::EventHandler;
using kvx::host::EventTarget;

extern "C" {

CFTypeID KVXEventHandlerGetTypeID(void) { return EventHandler::Type(); }

// On this platform a procedure reference is the routine itself.
EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr userRoutine) { return userRoutine; }

void DisposeEventHandlerUPP(EventHandlerUPP) {}

OSStatus InstallEventHandler(EventTargetRef inTarget, EventHandlerUPP inHandler, ItemCount inNumTypes,
                             const EventTypeSpec *inList, void *inUserData, EventHandlerRef *outRef) {
    if (outRef != nullptr) *outRef = nullptr;
    EventTarget *target = EventTarget::FromRef(inTarget);
    if (target == nullptr || inHandler == nullptr || (inNumTypes > 0 && inList == nullptr)) return paramErr;
    if (kvx::host::ShouldFail(kKVXFaultInstallEventHandler)) return memFullErr;

    std::vector<EventTypeSpec> types(inList, inList + inNumTypes);
    auto handler = kvx::host::Adopt(kvx::host::Create<EventHandler>(*target, inHandler, std::move(types), inUserData));
    if (outRef != nullptr) *outRef = kvx::host::ToRef<EventHandlerRef>(handler.get());
    target->install(std::move(handler));
    return noErr;
}

// Frees the handler, unless a dispatch in progress still holds it; that
// dispatch then skips it and frees it when done.
OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef) {
    auto *handler = kvx::host::As<EventHandler>(inHandlerRef, EventHandler::Type());
    if (handler == nullptr || !handler->isInstalled()) return paramErr;
    handler->target()->remove(*handler);
    return noErr;
}

}  // extern "C"
