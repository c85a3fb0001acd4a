// A user's clicks and keys on a control, as the events that they send.
#include <string>
#include <utility>

#include "KVXHost.h"
#include "control.hpp"
#include "core/encoding.hpp"
#include "event.hpp"
#include "reference.hpp"

namespace kvx::host {
namespace {

// What a key whose character Mac Roman lacks gives as its byte.
constexpr unsigned char kUnmappableByte = '?';

template <typename T>
void SetParameter(Event &event, EventParamName name, EventParamType type, const T &value) {
    event.setParameter(name, type, std::string(reinterpret_cast<const char *>(&value), sizeof value));
}

OSStatus Send(Event &event, Control &control) {
    return SendEventToEventTarget(ToRef<EventRef>(&event), control.eventTarget().ref());
}

// Each thread keeps one spare event for the clicks and keys it sends, so that
// a key costs no allocation. The spare is reused only when nobody else holds
// it: a handler that retained the event keeps it, and the next send makes a
// fresh one. While idle the spare is out of the live count, so the count
// reads as if it had been freed; it is freed at thread exit.
class SpareEvent {
public:
    SpareEvent() = default;
    SpareEvent(const SpareEvent &) = delete;
    SpareEvent &operator=(const SpareEvent &) = delete;
    ~SpareEvent() {
        if (idle_ == nullptr) return;
        idle_->rejoinLiveCount();
        idle_->release();
    }

    // The spare made new as this class and kind, or a fresh event when it is
    // in use (a send from inside a handler) or kept by a handler.
    Reference<Event> take(UInt32 eventClass, UInt32 eventKind) {
        Event *event = std::exchange(idle_, nullptr);
        if (event == nullptr) return Adopt(Create<Event>(eventClass, eventKind));
        event->reset(eventClass, eventKind);
        event->rejoinLiveCount();
        return Adopt(event);
    }

    // Keeps the event as the spare when the caller's reference is the only
    // one left and no spare is idle; else just drops the reference.
    void giveBack(Reference<Event> event) {
        if (idle_ != nullptr || event->retainCount() != 1) return;
        event->reset(0, 0);
        event->leaveLiveCount();
        idle_ = event.release();
    }

private:
    Event *idle_ = nullptr;
};

SpareEvent &ThreadSpareEvent() {
    thread_local SpareEvent spare;
    return spare;
}

// Sends an event of this class and kind, its parameters set by setUp.
template <typename SetUp>
OSStatus SendNew(UInt32 eventClass, UInt32 eventKind, Control &control, SetUp setUp) {
    SpareEvent &spare = ThreadSpareEvent();
    auto event = spare.take(eventClass, eventKind);
    setUp(*event);
    const OSStatus status = Send(*event, control);
    spare.giveBack(std::move(event));
    return status;
}

}  // namespace
}  // namespace kvx::host

using kvx::host::Event;
using kvx::host::SendNew;
using kvx::host::SetParameter;

extern "C" {

OSStatus KVXSendCommandFromControl(ControlRef control, UInt32 commandID) {
    kvx::host::Control *object = kvx::host::AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (!object->isEnabled()) return kKVXControlDisabledErr;
    return SendNew(kEventClassCommand, kEventCommandProcess, *object, [&](Event &event) {
        SetParameter(event, kEventParamDirectObject, typeHICommand,
                     HICommandExtended{kHICommandFromControl, commandID, control});
    });
}

OSStatus KVXSendKeyToControl(ControlRef control, UInt32 kind, UniChar ch, UInt32 modifiers) {
    kvx::host::Control *object = kvx::host::AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (kind != kEventRawKeyDown && kind != kEventRawKeyRepeat) return paramErr;
    if (!object->isEnabled()) return kKVXControlDisabledErr;
    return SendNew(kEventClassKeyboard, kind, *object, [&](Event &event) {
        SetParameter(event, kEventParamKeyMacCharCodes, typeChar,
                     kvx::host::EncodeMacRoman(ch).value_or(kvx::host::kUnmappableByte));
        SetParameter(event, kEventParamKeyUnicodes, typeUnicodeText, ch);
        SetParameter(event, kEventParamKeyModifiers, typeUInt32, modifiers);
    });
}

}  // extern "C"
