// Events: a class and kind with typed parameters.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "Carbon.h"
#include "core/object.hpp"

namespace kvx::host {

class Event final : public Object {
public:
    static CFTypeID Type();
    Event(UInt32 eventClass, UInt32 eventKind);

    UInt32 eventClass() const { return class_; }
    UInt32 eventKind() const { return kind_; }
    bool is(UInt32 eventClass, UInt32 eventKind) const { return class_ == eventClass && kind_ == eventKind; }

    void setParameter(EventParamName name, EventParamType type, std::string bytes);
    // The parameter's bytes when it is stored with exactly this type.
    std::optional<std::string_view> parameter(EventParamName name, EventParamType type) const;

private:
    UInt32 class_;
    UInt32 kind_;
    std::map<EventParamName, std::pair<EventParamType, std::string>> parameters_;
};

Event *AsEvent(EventRef ref);

}  // namespace kvx::host
