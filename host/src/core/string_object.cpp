#include "string_object.hpp"

#include <algorithm>

#include "hashing.hpp"
#include "strings.hpp"

namespace kvx::host {
namespace {

constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kLowSurrogateFirst = 0xDC00;

bool IsHighSurrogate(char16_t unit) { return unit >= kHighSurrogateFirst && unit < kLowSurrogateFirst; }

}  // namespace

String::String(std::u16string text, bool isMutable, CFIndex maxLength)
    : Object(StringTypeID()), text_(std::move(text)), mutable_(isMutable), maxLength_(isMutable ? maxLength : 0) {
    if (maxLength_ > 0 && text_.size() > static_cast<size_t>(maxLength_)) {
        text_.resize(static_cast<size_t>(maxLength_));
        if (IsHighSurrogate(text_.back())) text_.pop_back();
    }
}

void String::append(std::u16string_view more) {
    if (maxLength_ <= 0) {
        text_.append(more);
        return;
    }
    const size_t room = static_cast<size_t>(maxLength_) - std::min(text_.size(), static_cast<size_t>(maxLength_));
    if (more.size() <= room) {
        text_.append(more);
        return;
    }
    more = more.substr(0, room);
    // Cutting between the halves of a pair would leave a broken character.
    if (!more.empty() && IsHighSurrogate(more.back())) more.remove_suffix(1);
    text_.append(more);
}

bool String::equals(const Object &other) const { return text_ == static_cast<const String &>(other).text_; }

CFHashCode String::hash() const { return HashBytes(text_.data(), text_.size() * sizeof(char16_t)); }

CFTypeID StringTypeID() {
    static const CFTypeID type = RegisterType("CFString");
    return type;
}

String *AsString(CFTypeRef ref) { return As<String>(ref, StringTypeID()); }

String *AsMutableString(CFTypeRef ref) {
    String *string = AsString(ref);
    return string != nullptr && string->isMutable() ? string : nullptr;
}

std::u16string_view StringView(CFStringRef s) {
    const String *string = AsString(s);
    return string == nullptr ? std::u16string_view{} : string->text();
}

CFStringRef CreateString(std::u16string_view text) {
    return ToRef<CFStringRef>(Create<String>(std::u16string(text), false, 0));
}

CFStringRef CreateString(std::u16string &&text) {
    return ToRef<CFStringRef>(Create<String>(std::move(text), false, 0));
}

CFStringRef CreateStringFromUTF8(std::string_view utf8) {
    return ToRef<CFStringRef>(Create<String>(FromUTF8(utf8), false, 0));
}

std::string ToUTF8(CFStringRef s) { return ToUTF8(StringView(s)); }

}  // namespace kvx::host
