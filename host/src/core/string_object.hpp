// The string object behind CFStringRef: UTF-16 text, immutable or mutable
// with an optional length limit.
#pragma once

#include <string>
#include <string_view>

#include "object.hpp"

namespace kvx::host {

class String final : public Object {
public:
    // maxLength 0: unlimited. An immutable string ignores it.
    String(std::u16string text, bool isMutable, CFIndex maxLength);

    std::u16string_view text() const { return text_; }
    bool isMutable() const { return mutable_; }
    // Appends as much of more as the length limit allows.
    void append(std::u16string_view more);

    bool equals(const Object &other) const override;
    CFHashCode hash() const override;
    std::u16string describe() const override { return text_; }

private:
    std::u16string text_;
    bool mutable_;
    CFIndex maxLength_;
};

CFTypeID StringTypeID();
// The string behind a reference, or null when it is no string.
String *AsString(CFTypeRef ref);
// The string behind a reference when it is a mutable string, else null.
String *AsMutableString(CFTypeRef ref);

}  // namespace kvx::host
