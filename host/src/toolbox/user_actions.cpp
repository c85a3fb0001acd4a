// A user's clicks and keys on a control, as the events that they send.
#include <string>

#include "KVXHost.h"
#include "control.hpp"
#include "core/encoding.hpp"
#include "event.hpp"

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

}  // namespace
}  // namespace kvx::host

using kvx::host::Adopt;
using kvx::host::Create;
using kvx::host::Event;
using kvx::host::SetParameter;

extern "C" {

OSStatus KVXSendCommandFromControl(ControlRef control, UInt32 commandID) {
    kvx::host::Control *object = kvx::host::AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (!object->isEnabled()) return kKVXControlDisabledErr;
    const auto event = Adopt(Create<Event>(kEventClassCommand, kEventCommandProcess));
    SetParameter(*event, kEventParamDirectObject, typeHICommand,
                 HICommandExtended{kHICommandFromControl, commandID, control});
    return kvx::host::Send(*event, *object);
}

OSStatus KVXSendKeyToControl(ControlRef control, UInt32 kind, UniChar ch, UInt32 modifiers) {
    kvx::host::Control *object = kvx::host::AsControl(control);
    if (object == nullptr) return errUnknownControl;
    if (kind != kEventRawKeyDown && kind != kEventRawKeyRepeat) return paramErr;
    if (!object->isEnabled()) return kKVXControlDisabledErr;
    const auto event = Adopt(Create<Event>(kEventClassKeyboard, kind));
    SetParameter(*event, kEventParamKeyMacCharCodes, typeChar,
                 kvx::host::EncodeMacRoman(ch).value_or(kvx::host::kUnmappableByte));
    SetParameter(*event, kEventParamKeyUnicodes, typeUnicodeText, ch);
    SetParameter(*event, kEventParamKeyModifiers, typeUInt32, modifiers);
    return kvx::host::Send(*event, *object);
}

}  // extern "C"
