#include "unicode.hpp"

#include "strings.hpp"

namespace kvx::host {
namespace {

constexpr char16_t kReplacementCharacter = u'\uFFFD';
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kLowSurrogateFirst = 0xDC00;
constexpr char16_t kSurrogateEnd = 0xE000;

bool IsHighSurrogate(char16_t unit) { return unit >= kHighSurrogateFirst && unit < kLowSurrogateFirst; }
bool IsLowSurrogate(char16_t unit) { return unit >= kLowSurrogateFirst && unit < kSurrogateEnd; }

void AppendUTF16(std::u16string &out, char32_t codePoint) {
    if (codePoint < kFirstSupplementary) {
        out.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    const char32_t offset = codePoint - kFirstSupplementary;
    out.push_back(static_cast<char16_t>(kHighSurrogateFirst + (offset >> 10)));
    out.push_back(static_cast<char16_t>(kLowSurrogateFirst + (offset & 0x3FF)));
}

void AppendUTF8(std::string &out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < kFirstSupplementary) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at the start of bytes. On success returns the
// code point and sets length; on an ill-formed sequence returns nullopt with
// length covering its longest well-formed prefix (at least 1), so that the
// whole broken piece becomes one replacement character.
std::optional<char32_t> DecodeOne(std::string_view bytes, size_t &length) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    length = 1;
    if (lead < 0x80) return lead;
    size_t needed = 0;
    char32_t codePoint = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) secondLow = 0xA0;   // no overlong forms
        if (lead == 0xED) secondHigh = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        codePoint = lead & 0x07;
        if (lead == 0xF0) secondLow = 0x90;   // no overlong forms
        if (lead == 0xF4) secondHigh = 0x8F;  // nothing past U+10FFFF
    } else {
        return std::nullopt;
    }
    for (size_t i = 1; i <= needed; ++i) {
        if (i >= bytes.size()) return std::nullopt;
        const auto next = static_cast<unsigned char>(bytes[i]);
        const unsigned char low = i == 1 ? secondLow : 0x80;
        const unsigned char high = i == 1 ? secondHigh : 0xBF;
        if (next < low || next > high) return std::nullopt;
        codePoint = (codePoint << 6) | (next & 0x3F);
        length = i + 1;
    }
    return codePoint;
}

}  // namespace

std::optional<std::u16string> DecodeUTF8Exactly(std::string_view utf8) {
    std::u16string text;
    text.reserve(utf8.size());
    while (!utf8.empty()) {
        size_t length = 0;
        const std::optional<char32_t> codePoint = DecodeOne(utf8, length);
        if (!codePoint) return std::nullopt;
        AppendUTF16(text, *codePoint);
        utf8.remove_prefix(length);
    }
    return text;
}

std::u16string FromUTF8(std::string_view utf8) {
    std::u16string text;
    text.reserve(utf8.size());
    while (!utf8.empty()) {
        size_t length = 0;
        const std::optional<char32_t> codePoint = DecodeOne(utf8, length);
        if (codePoint)
            AppendUTF16(text, *codePoint);
        else
            text.push_back(kReplacementCharacter);
        utf8.remove_prefix(length);
    }
    return text;
}

std::string ToUTF8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t high = unit - kHighSurrogateFirst;
            const char32_t low = text[i + 1] - kLowSurrogateFirst;
            AppendUTF8(out, kFirstSupplementary + ((high << 10) | low));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUTF8(out, kReplacementCharacter);
        } else {
            AppendUTF8(out, unit);
        }
    }
    return out;
}

}  // namespace kvx::host
