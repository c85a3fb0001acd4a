// Decodes and parses .strings tables. Anything the format does not allow
// (unquoted text, an unknown escape, bytes invalid in the encoding) makes
// the whole table malformed, so that a broken file is noticed, not half read.
#include "strings_table.hpp"

#include <cstdint>
#include <optional>

#include "KVXHost.h"
#include "KVXHostSupport.hpp"
#include "core/strings.hpp"
#include "files.hpp"

namespace kvx::host {
namespace {

constexpr std::string_view kUTF8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUTF16LEByteOrderMark = "\xFF\xFE";
constexpr std::string_view kUTF16BEByteOrderMark = "\xFE\xFF";
constexpr int kUnicodeEscapeDigits = 4;
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

int LineAtEnd(std::u16string_view text) {
    int line = 1;
    for (const char16_t unit : text)
        if (unit == u'\n') ++line;
    return line;
}

std::string LineError(int line, const std::string &why) { return "line " + std::to_string(line) + ": " + why; }

void AppendCodePoint(std::u16string &text, char32_t codePoint) {
    if (codePoint < 0x10000) {
        text.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
std::optional<std::u16string> DecodeUTF8(std::string_view bytes, std::string &error) {
    std::u16string text;
    std::size_t index = 0;
    while (index < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[index]);
        int trailing = 0;
        char32_t codePoint = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            codePoint = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            trailing = 1, codePoint = lead & 0x1F, smallest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailing = 2, codePoint = lead & 0x0F, smallest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trailing = 3, codePoint = lead & 0x07, smallest = 0x10000;
        } else {
            error = LineError(LineAtEnd(text), "bytes that are not valid UTF-8");
            return std::nullopt;
        }
        for (int count = 1; count <= trailing; ++count) {
            const std::size_t at = index + static_cast<std::size_t>(count);
            if (at >= bytes.size() || (static_cast<unsigned char>(bytes[at]) & 0xC0) != 0x80) {
                error = LineError(LineAtEnd(text), "bytes that are not valid UTF-8");
                return std::nullopt;
            }
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(bytes[at]) & 0x3F);
        }
        if (codePoint < smallest || IsSurrogate(codePoint) || codePoint > kLastCodePoint) {
            error = LineError(LineAtEnd(text), "bytes that are not valid UTF-8");
            return std::nullopt;
        }
        AppendCodePoint(text, codePoint);
        index += static_cast<std::size_t>(trailing) + 1;
    }
    return text;
}

std::optional<std::u16string> DecodeUTF16(std::string_view bytes, bool bigEndian, std::string &error) {
    if (bytes.size() % 2 != 0) {
        error = "line 1: a UTF-16 table of an odd number of bytes";
        return std::nullopt;
    }
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t index = 0; index < bytes.size(); index += 2) {
        const auto first = static_cast<unsigned char>(bytes[index]);
        const auto second = static_cast<unsigned char>(bytes[index + 1]);
        text.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    for (std::size_t index = 0; index < text.size(); ++index) {
        const bool paired = IsHighSurrogate(text[index]) && index + 1 < text.size() && IsLowSurrogate(text[index + 1]);
        if (paired) {
            ++index;
        } else if (IsSurrogate(text[index])) {
            error = LineError(LineAtEnd(text.substr(0, index)), "an unpaired surrogate, not valid UTF-16");
            return std::nullopt;
        }
    }
    return text;
}

std::optional<std::u16string> Decode(std::string_view bytes, std::string &error) {
    if (bytes.starts_with(kUTF16LEByteOrderMark))
        return DecodeUTF16(bytes.substr(kUTF16LEByteOrderMark.size()), false, error);
    if (bytes.starts_with(kUTF16BEByteOrderMark))
        return DecodeUTF16(bytes.substr(kUTF16BEByteOrderMark.size()), true, error);
    if (bytes.starts_with(kUTF8ByteOrderMark)) bytes.remove_prefix(kUTF8ByteOrderMark.size());
    return DecodeUTF8(bytes, error);
}

std::optional<char16_t> HexValue(char16_t digit) {
    if (digit >= u'0' && digit <= u'9') return static_cast<char16_t>(digit - u'0');
    if (digit >= u'a' && digit <= u'f') return static_cast<char16_t>(digit - u'a' + 10);
    if (digit >= u'A' && digit <= u'F') return static_cast<char16_t>(digit - u'A' + 10);
    return std::nullopt;
}

class TableParser {
public:
    explicit TableParser(std::u16string_view text) : text_(text) {}

    // Each entry in the order of the file; false at the first fault.
    template <typename AddEntry>
    bool parse(AddEntry addEntry) {
        for (;;) {
            if (!skipSpaceAndComments()) return false;
            if (atEnd()) return true;
            std::u16string key;
            std::u16string value;
            if (!readQuoted(key, "a key") || !expectAfterSpace(u'=', "'=' after the key") ||
                !readQuotedAfterSpace(value) || !expectAfterSpace(u';', "';' after the value"))
                return false;
            addEntry(key, value);
        }
    }

    const std::string &error() const { return error_; }

private:
    bool atEnd() const { return position_ >= text_.size(); }
    char16_t peek(std::size_t ahead = 0) const {
        return position_ + ahead < text_.size() ? text_[position_ + ahead] : u'\0';
    }
    char16_t take() {
        const char16_t unit = text_[position_++];
        if (unit == u'\n') ++line_;
        return unit;
    }
    bool fail(int line, const std::string &why) {
        error_ = LineError(line, why);
        return false;
    }

    static bool IsSpace(char16_t unit) {
        return unit == u' ' || unit == u'\t' || unit == u'\n' || unit == u'\r' || unit == u'\f' || unit == u'\v';
    }

    bool skipSpaceAndComments() {
        while (!atEnd()) {
            if (IsSpace(peek())) {
                take();
            } else if (peek() == u'/' && peek(1) == u'/') {
                while (!atEnd() && peek() != u'\n') take();
            } else if (peek() == u'/' && peek(1) == u'*') {
                const int startLine = line_;
                take(), take();
                while (!atEnd() && !(peek() == u'*' && peek(1) == u'/')) take();
                if (atEnd()) return fail(startLine, "a comment that is never closed");
                take(), take();
            } else {
                return true;
            }
        }
        return true;
    }

    bool expectAfterSpace(char16_t wanted, const std::string &what) {
        if (!skipSpaceAndComments()) return false;
        if (atEnd()) return fail(line_, "the file ends where " + std::string(what) + " belongs");
        if (peek() != wanted) return fail(line_, "expected " + std::string(what));
        take();
        return true;
    }

    bool readQuotedAfterSpace(std::u16string &out) {
        return skipSpaceAndComments() && readQuoted(out, "a value");
    }

    bool readQuoted(std::u16string &out, const std::string &what) {
        if (atEnd()) return fail(line_, "the file ends where " + std::string(what) + " belongs");
        if (peek() != u'"') return fail(line_, std::string(what) + " that is not in double quotes");
        const int startLine = line_;
        take();
        for (;;) {
            if (atEnd()) return fail(startLine, "a quoted string that is never closed");
            const char16_t unit = take();
            if (unit == u'"') return true;
            if (unit != u'\\') {
                out.push_back(unit);
            } else if (!readEscape(out)) {
                return false;
            }
        }
    }

    bool readEscape(std::u16string &out) {
        if (atEnd()) return fail(line_, "a backslash at the end of the file");
        const char16_t kind = take();
        switch (kind) {
        case u'"': out.push_back(u'"'); return true;
        case u'\\': out.push_back(u'\\'); return true;
        case u'n': out.push_back(u'\n'); return true;
        case u't': out.push_back(u'\t'); return true;
        case u'r': out.push_back(u'\r'); return true;
        case u'U': return readUnicodeEscape(out);
        default: return fail(line_, "an unknown escape \\" + ToUTF8(std::u16string_view(&kind, 1)));
        }
    }

    std::optional<char16_t> readHexUnit() {
        char16_t unit = 0;
        for (int count = 0; count < kUnicodeEscapeDigits; ++count) {
            const auto digit = atEnd() ? std::nullopt : HexValue(peek());
            if (!digit) return std::nullopt;
            take();
            unit = static_cast<char16_t>((unit << 4) | *digit);
        }
        return unit;
    }

    // \Uhhhh is one UTF-16 unit; a character beyond the BMP is written as
    // two such escapes, high surrogate first.
    bool readUnicodeEscape(std::u16string &out) {
        const auto unit = readHexUnit();
        if (!unit) return fail(line_, "\\U without four hex digits");
        if (IsLowSurrogate(*unit)) return fail(line_, "a \\U low surrogate without a high one before it");
        out.push_back(*unit);
        if (!IsHighSurrogate(*unit)) return true;
        if (peek() != u'\\' || peek(1) != u'U') return fail(line_, "a \\U high surrogate without a low one after it");
        take(), take();
        const auto low = readHexUnit();
        if (!low) return fail(line_, "\\U without four hex digits");
        if (!IsLowSurrogate(*low)) return fail(line_, "a \\U high surrogate without a low one after it");
        out.push_back(*low);
        return true;
    }

    std::u16string_view text_;
    std::size_t position_ = 0;
    int line_ = 1;
    std::string error_;
};

}  // namespace

CFDictionaryRef CreateStringsTable(std::string_view bytes, std::string &error) {
    const auto text = Decode(bytes, error);
    if (!text) return nullptr;
    CFHolder<CFMutableDictionaryRef> table(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    TableParser parser(*text);
    const bool parsed = parser.parse([&table](std::u16string_view key, std::u16string_view value) {
        const CFHolder<CFStringRef> keyString(CreateString(key));
        const CFHolder<CFStringRef> valueString(CreateString(value));
        CFDictionarySetValue(table.get(), keyString.get(), valueString.get());
    });
    if (!parsed) {
        error = parser.error();
        return nullptr;
    }
    return table.release();
}

}  // namespace kvx::host

extern "C" CFDictionaryRef KVXStringsTableCreateFromData(const UInt8 *bytes, CFIndex length, CFStringRef *outError) {
    if (length < 0 || (bytes == nullptr && length > 0)) {
        kvx::host::SetError(outError, "no table bytes were given");
        return nullptr;
    }
    std::string error;
    const std::string_view data(reinterpret_cast<const char *>(bytes), static_cast<std::size_t>(length));
    CFDictionaryRef table = kvx::host::CreateStringsTable(data, error);
    if (table == nullptr) kvx::host::SetError(outError, error);
    return table;
}
