#include "ppd_encoding.hpp"

#include <array>
#include <utility>

#include "core/encoding.hpp"

namespace kvx::host {
namespace {

constexpr const char *kMacRomanCharset = "MACINTOSH";
constexpr const char *kFallbackCharset = "ISO-8859-1";
constexpr std::string_view kMacStandardEncoding = "MacStandard";

// LanguageEncoding values that PPD files use, and the iconv charset of each.
constexpr std::array<std::pair<std::string_view, const char *>, 7> kCharsets{{
    {"ISOLatin1", "ISO-8859-1"},
    {"ISOLatin2", "ISO-8859-2"},
    {"ISOLatin5", "ISO-8859-9"},
    {"WindowsANSI", "CP1252"},
    {"UTF-8", "UTF-8"},
    {"UTF8", "UTF-8"},
    {"JIS83-RKSJ", "SHIFT_JIS"},
}};

const char *CharsetOf(std::string_view languageEncoding) {
    for (const auto &[name, charset] : kCharsets)
        if (name == languageEncoding) return charset;
    return kFallbackCharset;
}

}  // namespace

std::optional<std::string> ConvertPPDTextToMacRoman(std::string_view text, const char *languageEncoding) {
    if (languageEncoding == nullptr) return ConvertBytes(text, kFallbackCharset, kMacRomanCharset, true);
    // Mac Roman already: passed through, so that no byte is lost to iconv.
    if (languageEncoding == kMacStandardEncoding) return std::string(text);
    return ConvertBytes(text, CharsetOf(languageEncoding), kMacRomanCharset, true);
}

}  // namespace kvx::host
