// UTF-8 <-> UTF-16 conversion (the lenient forms are declared in strings.hpp).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvx::host {

// The UTF-16 form of well-formed UTF-8; nullopt for any ill-formed byte.
std::optional<std::u16string> DecodeUTF8Exactly(std::string_view utf8);

}  // namespace kvx::host
