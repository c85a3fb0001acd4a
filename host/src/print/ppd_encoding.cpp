#include "ppd_encoding.hpp"

#include <array>

#include "core/encoding.hpp"

namespace kvx::host {
namespace {

constexpr const char *kMacRomanCharset = "MACINTOSH";
constexpr const char *kFallbackCharset = "ISO-8859-1";
constexpr std::string_view kMacStandardEncoding = "MacStandard";

struct PPDCharset {
    std::string_view languageEncoding;
    const char *iconvName;
    bool keepsASCII;  // its bytes below 0x80 are ASCII, as Mac Roman's are
};

// LanguageEncoding values that PPD files use, and the iconv charset of each.
// Shift JIS is the one whose lower half is not plain ASCII everywhere.
constexpr std::array<PPDCharset, 7> kCharsets{{
    {"ISOLatin1", "ISO-8859-1", true},
    {"ISOLatin2", "ISO-8859-2", true},
    {"ISOLatin5", "ISO-8859-9", true},
    {"WindowsANSI", "CP1252", true},
    {"UTF-8", "UTF-8", true},
    {"UTF8", "UTF-8", true},
    {"JIS83-RKSJ", "SHIFT_JIS", false},
}};
constexpr PPDCharset kFallback{"", kFallbackCharset, true};

const PPDCharset &CharsetOf(std::string_view languageEncoding) {
    for (const PPDCharset &charset : kCharsets)
        if (charset.languageEncoding == languageEncoding) return charset;
    return kFallback;
}

}  // namespace

std::optional<std::string> ConvertPPDTextToMacRoman(std::string_view text, const char *languageEncoding) {
    // Mac Roman already: passed through, so that no byte is lost to iconv.
    if (languageEncoding != nullptr && languageEncoding == kMacStandardEncoding) return std::string(text);
    const PPDCharset &charset = languageEncoding == nullptr ? kFallback : CharsetOf(languageEncoding);
    // Most invocation strings are plain ASCII, the same bytes in Mac Roman.
    if (charset.keepsASCII && IsASCII(text)) return std::string(text);
    return ConvertBytes(text, charset.iconvName, kMacRomanCharset, true);
}

}  // namespace kvx::host
