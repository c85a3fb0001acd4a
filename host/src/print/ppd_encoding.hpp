// PPD text in the pane's encoding: a PPD's values are bytes in the charset
// that its LanguageEncoding keyword names, the pane reads Mac Roman.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvx::host {

// The value's bytes in Mac Roman; characters that Mac Roman lacks become '?'.
// An absent (null) or unknown encoding is read as ISO Latin 1. Nullopt only
// when the C library cannot convert from the encoding at all.
std::optional<std::string> ConvertPPDTextToMacRoman(std::string_view text, const char *languageEncoding);

}  // namespace kvx::host
