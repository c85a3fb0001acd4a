// Owning references to host objects inside the toolbox, so that every
// retain has its release on every path.
#pragma once

#include <memory>

#include "core/object.hpp"

namespace kvx::host {

struct ReleaseObject {
    void operator()(Object *object) const { object->release(); }
};

template <typename T>
using Reference = std::unique_ptr<T, ReleaseObject>;

// Takes over a reference that the caller already owns (from Create).
template <typename T>
Reference<T> Adopt(T *object) {
    return Reference<T>(object);
}

// Takes a new reference; null stays null.
template <typename T>
Reference<T> Retain(T *object) {
    if (object != nullptr) object->retain();
    return Reference<T>(object);
}

}  // namespace kvx::host
