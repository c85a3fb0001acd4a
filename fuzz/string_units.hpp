// A host string's UTF-16 units, for comparing host text with expectations.
#pragma once

#include <string>

#include "CoreFoundation.h"

namespace kvx::fuzz {

inline std::u16string UnitsOf(CFStringRef string) {
    std::u16string units(static_cast<size_t>(CFStringGetLength(string)), u'\0');
    CFStringGetCharacters(string, CFRange{0, static_cast<CFIndex>(units.size())},
                          reinterpret_cast<UniChar *>(units.data()));
    return units;
}

}  // namespace kvx::fuzz
