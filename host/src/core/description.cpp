// CFCopyDescription and CFShow: an object's text for people.
#include <cstdio>

#include "object.hpp"
#include "strings.hpp"

namespace {

constexpr const char *kNullDescription = "(null)";

}  // namespace

extern "C" {

CFStringRef CFCopyDescription(CFTypeRef cf) {
    if (cf == nullptr) return nullptr;
    return kvx::host::CreateString(kvx::host::ObjectFrom(cf)->describe());
}

void CFShow(CFTypeRef obj) {
    const std::string text = obj == nullptr ? kNullDescription : kvx::host::ToUTF8(kvx::host::ObjectFrom(obj)->describe());
    std::fprintf(stderr, "%s\n", text.c_str());
}

}  // extern "C"
