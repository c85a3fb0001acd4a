// The platform's .strings tables: "KEY" = "value"; entries with comments,
// in UTF-8 or in UTF-16 with a byte-order mark.
#pragma once

#include <string>
#include <string_view>

#include "CoreFoundation.h"

namespace kvx::host {

// A new dictionary (+1) of string keys to string values; null and *error
// ("line N: why") when the table is malformed.
CFDictionaryRef CreateStringsTable(std::string_view bytes, std::string &error);

}  // namespace kvx::host
