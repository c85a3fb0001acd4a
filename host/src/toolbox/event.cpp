#include "event.hpp"

#include <algorithm>
#include <cstring>

#include "KVXHost.h"

namespace kvx::host {

CFTypeID Event::Type() {
    static const CFTypeID type = RegisterType("Event");
    return type;
}

Event::Event(UInt32 eventClass, UInt32 eventKind) : Object(Type()), class_(eventClass), kind_(eventKind) {}

void Event::reset(UInt32 eventClass, UInt32 eventKind) {
    class_ = eventClass;
    kind_ = eventKind;
    for (std::size_t index = 0; index < inlineCount_; ++index) inlineParameters_[index] = Parameter{};
    inlineCount_ = 0;
    moreParameters_.clear();
}

template <typename Self>
auto *Event::Find(Self &event, EventParamName name) {
    const auto named = [name](const Parameter &parameter) { return parameter.name == name; };
    const auto inlineEnd = event.inlineParameters_.begin() + event.inlineCount_;
    const auto found = std::find_if(event.inlineParameters_.begin(), inlineEnd, named);
    if (found != inlineEnd) return &*found;
    const auto more = std::find_if(event.moreParameters_.begin(), event.moreParameters_.end(), named);
    return more == event.moreParameters_.end() ? nullptr : &*more;
}

void Event::setParameter(EventParamName name, EventParamType type, std::string bytes) {
    if (Parameter *existing = Find(*this, name)) {
        existing->type = type;
        existing->bytes = std::move(bytes);
    } else if (inlineCount_ < kInlineParameters) {
        inlineParameters_[inlineCount_++] = Parameter{name, type, std::move(bytes)};
    } else {
        moreParameters_.push_back(Parameter{name, type, std::move(bytes)});
    }
}

std::optional<std::string_view> Event::parameter(EventParamName name, EventParamType type) const {
    const Parameter *found = Find(*this, name);
    if (found == nullptr || found->type != type) return std::nullopt;
    return std::string_view(found->bytes);
}

Event *AsEvent(EventRef ref) { return As<Event>(ref, Event::Type()); }

}  // namespace kvx::host

using kvx::host::AsEvent;
using kvx::host::Event;

extern "C" {

CFTypeID KVXEventGetTypeID(void) { return Event::Type(); }

// The time and attributes are accepted and not kept: nothing reads them back.
OSStatus CreateEvent(CFAllocatorRef, UInt32 inClassID, UInt32 inKind, EventTime, EventAttributes, EventRef *outEvent) {
    if (outEvent == nullptr) return paramErr;
    *outEvent = kvx::host::ToRef<EventRef>(kvx::host::Create<Event>(inClassID, inKind));
    return noErr;
}

EventRef RetainEvent(EventRef inEvent) {
    if (Event *event = AsEvent(inEvent)) event->retain();
    return inEvent;
}

void ReleaseEvent(EventRef inEvent) {
    if (Event *event = AsEvent(inEvent)) event->release();
}

UInt32 GetEventClass(EventRef inEvent) {
    const Event *event = AsEvent(inEvent);
    return event == nullptr ? 0 : event->eventClass();
}

UInt32 GetEventKind(EventRef inEvent) {
    const Event *event = AsEvent(inEvent);
    return event == nullptr ? 0 : event->eventKind();
}

OSStatus SetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inType, ByteCount inSize,
                           const void *inDataPtr) {
    Event *event = AsEvent(inEvent);
    if (event == nullptr || (inSize > 0 && inDataPtr == nullptr)) return paramErr;
    const auto *bytes = static_cast<const char *>(inDataPtr);
    event->setParameter(inName, inType, inSize == 0 ? std::string() : std::string(bytes, inSize));
    return noErr;
}

OSStatus GetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inDesiredType,
                           EventParamType *outActualType, ByteCount inBufferSize, ByteCount *outActualSize,
                           void *outData) {
    const Event *event = AsEvent(inEvent);
    if (event == nullptr) return paramErr;
    const auto bytes = event->parameter(inName, inDesiredType);
    if (!bytes) return eventParameterNotFoundErr;
    if (outActualType != nullptr) *outActualType = inDesiredType;
    if (outActualSize != nullptr) *outActualSize = bytes->size();
    if (outData != nullptr) std::memcpy(outData, bytes->data(), std::min<ByteCount>(inBufferSize, bytes->size()));
    return noErr;
}

}  // extern "C"
