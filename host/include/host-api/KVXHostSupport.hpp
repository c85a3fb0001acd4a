// C++ conveniences for host programs and tests, on top of the public C API:
// an owning holder for host references and UTF-8 conversions.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "KVXHost.h"

namespace kvx {

// Owns one reference (from a Create or Copy call) and releases it.
template <typename Ref>
class CFHolder {
public:
    CFHolder() = default;
    explicit CFHolder(Ref ref) : ref_(ref) {}
    CFHolder(const CFHolder &) = delete;
    CFHolder &operator=(const CFHolder &) = delete;
    CFHolder(CFHolder &&other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
    CFHolder &operator=(CFHolder &&other) noexcept {
        reset(std::exchange(other.ref_, nullptr));
        return *this;
    }
    ~CFHolder() { reset(); }

    Ref get() const { return ref_; }
    explicit operator bool() const { return ref_ != nullptr; }
    Ref *out() {
        reset();
        return &ref_;
    }
    Ref release() { return std::exchange(ref_, nullptr); }
    void reset(Ref ref = nullptr) {
        if (ref_ != nullptr) CFRelease(ref_);
        ref_ = ref;
    }

private:
    Ref ref_ = nullptr;
};

inline CFHolder<CFStringRef> MakeString(std::string_view utf8) {
    const std::string terminated(utf8);
    return CFHolder<CFStringRef>(CFStringCreateWithCString(nullptr, terminated.c_str(), kCFStringEncodingUTF8));
}

inline std::string ToUTF8(CFStringRef string) {
    if (string == nullptr) return {};
    const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    std::string buffer(static_cast<size_t>(size), '\0');
    if (!CFStringGetCString(string, buffer.data(), size, kCFStringEncodingUTF8)) return {};
    buffer.resize(buffer.find('\0'));
    return buffer;
}

}  // namespace kvx
