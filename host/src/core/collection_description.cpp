#include "collection_description.hpp"

#include <cstdio>

#include "strings.hpp"

namespace kvx::host {

std::u16string DescribeValue(const void *value, CopyDescriptionCallBack copyDescription) {
    if (copyDescription != nullptr) {
        if (CFStringRef description = copyDescription(value)) {
            std::u16string text(StringView(description));
            CFRelease(description);
            return text;
        }
    }
    char address[32];
    std::snprintf(address, sizeof address, "<%p>", value);
    return FromUTF8(address);
}

}  // namespace kvx::host
