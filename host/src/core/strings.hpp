// Text helpers for the host's own modules: views of string objects and
// conversions between UTF-16 (the strings' storage) and UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "CoreFoundation.h"

namespace kvx::host {

// A borrowed view of the string's text; empty for null. Valid while the
// string lives and is not changed.
std::u16string_view StringView(CFStringRef s);
// A new immutable string (+1).
CFStringRef CreateString(std::u16string_view text);
// A new immutable string (+1) that takes the text over instead of copying it.
CFStringRef CreateString(std::u16string &&text);
// A new immutable string (+1); invalid bytes become U+FFFD.
CFStringRef CreateStringFromUTF8(std::string_view utf8);
// The string's text as UTF-8; "" for null.
std::string ToUTF8(CFStringRef s);
// Unpaired surrogates become U+FFFD.
std::string ToUTF8(std::u16string_view text);
// Invalid bytes become U+FFFD.
std::u16string FromUTF8(std::string_view utf8);

}  // namespace kvx::host
