// CFCopyDescription and CFShow: an object's text for people, shown on stderr
// or wherever the host program sends it.
#include <atomic>
#include <cstdio>

#include "KVXHost.h"
#include "object.hpp"
#include "strings.hpp"

namespace {

constexpr const char *kNullDescription = "(null)";

// Set once by the host program, read by whichever thread shows something.
std::atomic<KVXShowSink> showSink{nullptr};

}  // namespace

extern "C" {

CFStringRef CFCopyDescription(CFTypeRef cf) {
    if (cf == nullptr) return nullptr;
    return kvx::host::CreateString(kvx::host::ObjectFrom(cf)->describe());
}

void CFShow(CFTypeRef obj) {
    const std::string text = obj == nullptr ? kNullDescription : kvx::host::ToUTF8(kvx::host::ObjectFrom(obj)->describe());
    if (const KVXShowSink sink = showSink.load()) {
        sink(text.c_str());
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

void KVXHostSetShowSink(KVXShowSink sink) {
    showSink.store(sink);
}

}  // extern "C"
