// Hash codes over bytes (FNV-1a), for objects compared by their contents.
#pragma once

#include <cstddef>

#include "CoreFoundation.h"

namespace kvx::host {

inline CFHashCode HashBytes(const void *bytes, size_t length) {
    constexpr CFHashCode kFNVOffsetBasis = 14695981039346656037ull;
    constexpr CFHashCode kFNVPrime = 1099511628211ull;
    CFHashCode hash = kFNVOffsetBasis;
    const auto *byte = static_cast<const unsigned char *>(bytes);
    for (size_t i = 0; i < length; ++i) hash = (hash ^ byte[i]) * kFNVPrime;
    return hash;
}

}  // namespace kvx::host
