// Sending events to targets: the handler chain, latest first, and then the
// toolbox's standard handling of commands and keys.
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "core/encoding.hpp"
#include "edit_text.hpp"
#include "event.hpp"
#include "window.hpp"

namespace kvx::host {
namespace {

// One dispatch of an event to one target. The handlers are a snapshot taken
// when the dispatch starts, each held, so that handlers may install and
// remove handlers (themselves included) while it runs.
struct CallFrame {
    Event &event;
    EventTarget &target;
    HeldHandlers chain;
    size_t next = 0;
    // Set once a handler has run the rest of the chain itself.
    std::optional<OSStatus> restResult;
};

// The dispatches under way, innermost last: the call references that
// CallNextEventHandler accepts.
std::vector<CallFrame *> &ActiveFrames() {
    static std::vector<CallFrame *> frames;
    return frames;
}

EventHandlerCallRef ToCallRef(CallFrame *frame) { return reinterpret_cast<EventHandlerCallRef>(frame); }

CallFrame *ActiveFrame(EventHandlerCallRef callRef) {
    auto &frames = ActiveFrames();
    const auto found = std::find(frames.begin(), frames.end(), reinterpret_cast<CallFrame *>(callRef));
    return found == frames.end() ? nullptr : *found;
}

OSStatus Dispatch(Event &event, EventTarget &target);

// The key's UTF-16 units; from its Mac Roman byte when it carries no units.
std::u16string KeyUnits(const Event &event) {
    if (const auto bytes = event.parameter(kEventParamKeyUnicodes, typeUnicodeText)) {
        std::u16string units(bytes->size() / sizeof(char16_t), u'\0');
        std::memcpy(units.data(), bytes->data(), units.size() * sizeof(char16_t));
        return units;
    }
    if (const auto bytes = event.parameter(kEventParamKeyMacCharCodes, typeChar)) return DecodeMacRoman(*bytes);
    return {};
}

bool IsRawKey(const Event &event) {
    return event.is(kEventClassKeyboard, kEventRawKeyDown) || event.is(kEventClassKeyboard, kEventRawKeyRepeat);
}

// What happens to an event that every handler of the target passed on.
OSStatus HandleAsStandard(Event &event, EventTarget &target) {
    Control *control = As<Control>(&target.owner(), Control::Type());
    if (control == nullptr) return eventNotHandledErr;
    if (event.is(kEventClassCommand, kEventCommandProcess)) {
        if (Control *container = control->parent()) return Dispatch(event, container->eventTarget());
        if (Window *window = control->owner()) return Dispatch(event, window->eventTarget());
        return eventNotHandledErr;
    }
    auto *field = dynamic_cast<EditText *>(control);
    if (field != nullptr && field->isEnabled() && IsRawKey(event) && field->performKey(KeyUnits(event))) return noErr;
    return eventNotHandledErr;
}

// Calls the handlers from frame.next on, then the standard handling.
OSStatus RunChain(CallFrame &frame) {
    while (frame.next < frame.chain.size()) {
        const EventHandler &handler = frame.chain[frame.next++];
        if (!handler.isInstalled()) continue;
        ActiveFrames().push_back(&frame);
        const OSStatus status = handler.call(ToCallRef(&frame), ToRef<EventRef>(&frame.event));
        ActiveFrames().pop_back();
        if (frame.restResult || status != eventNotHandledErr) return status;
    }
    return HandleAsStandard(frame.event, frame.target);
}

OSStatus Dispatch(Event &event, EventTarget &target) {
    // The event and the target's owner stay alive until the dispatch ends,
    // whatever the handlers release or dispose meanwhile.
    const auto heldEvent = Retain(&event);
    const auto heldOwner = Retain(&target.owner());
    CallFrame frame{event, target, {}, 0, std::nullopt};
    target.holdHandlersFor(event.eventClass(), event.eventKind(), frame.chain);
    return RunChain(frame);
}

}  // namespace
}  // namespace kvx::host

extern "C" {

OSStatus SendEventToEventTarget(EventRef inEvent, EventTargetRef inTarget) {
    kvx::host::Event *event = kvx::host::AsEvent(inEvent);
    kvx::host::EventTarget *target = kvx::host::EventTarget::FromRef(inTarget);
    if (event == nullptr || target == nullptr) return paramErr;
    return kvx::host::Dispatch(*event, *target);
}

// Runs the rest of the chain, standard handling included, at most once per
// dispatch: a second call gives the first call's result again.
OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef) {
    kvx::host::CallFrame *frame = kvx::host::ActiveFrame(inCallRef);
    if (frame == nullptr) return paramErr;
    if (!frame->restResult) frame->restResult = kvx::host::RunChain(*frame);
    return *frame->restResult;
}

}  // extern "C"
