// The base of every host object: a type, a reference count, and the
// live-object accounting that tests use to prove nothing leaks.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "CoreFoundation.h"

namespace kvx::host {

class Object {
public:
    explicit Object(CFTypeID type);
    virtual ~Object();
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    CFTypeID type() const { return type_; }
    CFIndex retainCount() const { return retainCount_; }
    bool isConstant() const { return constant_; }

    void retain() { ++retainCount_; }
    // Frees the object when the count reaches 0; constants are never freed.
    void release();
    // Takes the object out of the live count for good: it is never freed.
    void makeConstant();
    // Take the object out of the live count while it sits idle for reuse
    // (a kept spare that nobody holds), and back in when it is used again.
    // Each is a no-op when the object is already out or in.
    void leaveLiveCount();
    void rejoinLiveCount();

    // CFEqual and CFHash: identity unless the type says otherwise.
    virtual bool equals(const Object &other) const { return this == &other; }
    virtual CFHashCode hash() const { return reinterpret_cast<CFHashCode>(this); }
    // What CFShow and %@ print, as UTF-16.
    virtual std::u16string describe() const;

private:
    CFTypeID type_;
    CFIndex retainCount_ = 1;
    bool constant_ = false;
    bool counted_ = true;
};

// Registers a type name and returns its ID (never 0). Call once per type,
// e.g. from a function-local static.
CFTypeID RegisterType(const char *name);
const char *TypeName(CFTypeID type);

// Makes an object with a reference count of 1, owned by the caller's
// reference until CFRelease.
template <typename T, typename... Args>
T *Create(Args &&...args) {
    return std::make_unique<T>(std::forward<Args>(args)...).release();
}

// The object behind a reference; null for null.
inline Object *ObjectFrom(CFTypeRef ref) { return static_cast<Object *>(const_cast<void *>(ref)); }

// The reference that hands an object out through the C interface.
template <typename Ref>
Ref ToRef(Object *object) {
    return static_cast<Ref>(static_cast<void *>(object));
}

// The object behind a reference when it has the given type, else null.
template <typename T>
T *As(const void *ref, CFTypeID type) {
    Object *object = ObjectFrom(ref);
    return object != nullptr && object->type() == type ? static_cast<T *>(object) : nullptr;
}

}  // namespace kvx::host
