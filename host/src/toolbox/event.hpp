// Events: a class and kind with typed parameters.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

    // Makes the event a new one of this class and kind, without parameters;
    // for reusing an event that nobody else holds.
    void reset(UInt32 eventClass, UInt32 eventKind);

    void setParameter(EventParamName name, EventParamType type, std::string bytes);
    // The parameter's bytes when it is stored with exactly this type.
    std::optional<std::string_view> parameter(EventParamName name, EventParamType type) const;

private:
    struct Parameter {
        EventParamName name = 0;
        EventParamType type = 0;
        std::string bytes;
    };
    // A key or command event carries three parameters or fewer: those live in
    // the event itself, so that sending one costs no allocation for them.
    static constexpr std::size_t kInlineParameters = 4;

    // The parameter with this name, const or not as the event is.
    template <typename Self>
    static auto *Find(Self &event, EventParamName name);

    UInt32 class_;
    UInt32 kind_;
    std::array<Parameter, kInlineParameters> inlineParameters_{};
    std::size_t inlineCount_ = 0;
    std::vector<Parameter> moreParameters_;
};

Event *AsEvent(EventRef ref);

}  // namespace kvx::host
