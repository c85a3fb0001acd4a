// CFStringCreateWithFormat: printf-style formatting with %@ for objects.
// %s and %c take UTF-8 bytes (a lone byte above 0x7F shows as U+FFFD), %C
// one UTF-16 unit; numbers are formatted by the C library.
#include <array>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <utility>

#include "string_object.hpp"
#include "strings.hpp"

namespace kvx::host {
namespace {

constexpr char16_t kDirective = u'%';
constexpr std::u16string_view kNullDescription = u"(null)";
constexpr std::string_view kFlagCharacters = "-+ #0";
constexpr std::string_view kIntegerConversions = "diouxX";
constexpr std::string_view kFloatConversions = "fFeEgGaA";

enum class Length { None, Char, Short, Long, LongLong, Size, LongDouble };

// One directive as written: %[flags][width][.precision][length]conversion.
struct Directive {
    std::string flags;
    std::string width;      // digits, or "*"
    std::string precision;  // ".digits", ".*", or empty
    Length length = Length::None;
    char16_t conversion = 0;
};

struct LengthModifier {
    char16_t unit;
    Length single;
    Length doubled;  // None: the modifier cannot be doubled
};
constexpr LengthModifier kLengthModifiers[] = {
    {u'h', Length::Short, Length::Char},      {u'l', Length::Long, Length::LongLong},
    {u'q', Length::LongLong, Length::None},   {u'z', Length::Size, Length::None},
    {u'L', Length::LongDouble, Length::None},
};

// The C library's spelling of an integer's length modifier.
std::string_view IntegerLengthText(Length length) {
    switch (length) {
        case Length::Char:
            return "hh";
        case Length::Short:
            return "h";
        case Length::Long:
            return "l";
        case Length::LongLong:
            return "ll";
        case Length::Size:
            return "z";
        default:
            return "";
    }
}

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

// Parses the directive after a '%'; returns how many units it spans, or 0
// when the text is no directive that this formatter knows.
size_t ParseDirective(std::u16string_view text, Directive &directive) {
    size_t at = 0;
    const auto ascii = [&](size_t i) { return static_cast<char>(text[i]); };
    while (at < text.size() && text[at] < 0x80 && kFlagCharacters.find(ascii(at)) != std::string_view::npos)
        directive.flags.push_back(ascii(at++));
    if (at < text.size() && text[at] == u'*') {
        directive.width = "*";
        ++at;
    } else {
        while (at < text.size() && IsDigit(text[at])) directive.width.push_back(ascii(at++));
    }
    if (at < text.size() && text[at] == u'.') {
        directive.precision = ".";
        ++at;
        if (at < text.size() && text[at] == u'*') {
            directive.precision.push_back('*');
            ++at;
        } else {
            while (at < text.size() && IsDigit(text[at])) directive.precision.push_back(ascii(at++));
        }
    }
    for (const LengthModifier &modifier : kLengthModifiers) {
        if (at >= text.size() || text[at] != modifier.unit) continue;
        directive.length = modifier.single;
        ++at;
        if (modifier.doubled != Length::None && at < text.size() && text[at] == modifier.unit) {
            directive.length = modifier.doubled;
            ++at;
        }
        break;
    }
    if (at >= text.size()) return 0;
    directive.conversion = text[at++];
    return at;
}

// The printf format for one argument, with '*' already replaced by numbers.
std::string PieceFormat(const Directive &directive, const std::string &width, const std::string &precision,
                        std::string_view length, char conversion) {
    std::string piece = "%";
    piece += directive.flags;
    piece += width;
    piece += precision;
    piece += length;
    piece.push_back(conversion);
    return piece;
}

// Most numbers fit this buffer, and are then formatted in a single pass.
constexpr size_t kShortFormatBytes = 64;

template <typename Value>
std::u16string FormatValue(const std::string &piece, Value value) {
    std::array<char, kShortFormatBytes> shortBytes{};
    const int size = std::snprintf(shortBytes.data(), shortBytes.size(), piece.c_str(), value);
    if (size < 0) return {};
    if (static_cast<size_t>(size) < shortBytes.size()) return FromUTF8(std::string_view(shortBytes.data(), static_cast<size_t>(size)));
    std::string bytes(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(bytes.data(), bytes.size(), piece.c_str(), value);
    bytes.resize(static_cast<size_t>(size));
    return FromUTF8(bytes);
}

std::u16string FormatInteger(const Directive &directive, const std::string &piece, va_list &args) {
    const bool isSigned = directive.conversion == u'd' || directive.conversion == u'i';
    switch (directive.length) {
        case Length::Long:
            return isSigned ? FormatValue(piece, va_arg(args, long)) : FormatValue(piece, va_arg(args, unsigned long));
        case Length::LongLong:
            return isSigned ? FormatValue(piece, va_arg(args, long long))
                            : FormatValue(piece, va_arg(args, unsigned long long));
        case Length::Size:
            return isSigned ? FormatValue(piece, va_arg(args, ptrdiff_t)) : FormatValue(piece, va_arg(args, size_t));
        default:
            // char and short arrive promoted to int; the piece's modifier narrows them.
            return isSigned ? FormatValue(piece, va_arg(args, int)) : FormatValue(piece, va_arg(args, unsigned int));
    }
}

// A string's text goes in as it is, without the copy that describe() makes.
void AppendDescription(CFTypeRef object, std::u16string &out) {
    if (object == nullptr) {
        out += kNullDescription;
    } else if (const String *string = AsString(object)) {
        out += string->text();
    } else {
        out += ObjectFrom(object)->describe();
    }
}

// A plain decimal (%d, %i, %u with no flags, width or precision) is what the
// printf pass would make; keys such as "DINDigit3" are built this way on
// every pane open, so it skips that pass.
bool IsPlainDecimal(const Directive &directive) {
    const char16_t conversion = directive.conversion;
    return (conversion == u'd' || conversion == u'i' || conversion == u'u') && directive.flags.empty() &&
           directive.width.empty() && directive.precision.empty() &&
           (directive.length == Length::None || directive.length == Length::Long ||
            directive.length == Length::LongLong || directive.length == Length::Size);
}

template <typename Value>
void AppendDecimal(Value value, std::u16string &out) {
    std::array<char, 24> digits{};  // the longest 64-bit integer and its sign
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    out.append(digits.data(), end);
}

void AppendPlainDecimal(const Directive &directive, va_list &args, std::u16string &out) {
    const bool isSigned = directive.conversion != u'u';
    switch (directive.length) {
        case Length::Long:
            return isSigned ? AppendDecimal(va_arg(args, long), out) : AppendDecimal(va_arg(args, unsigned long), out);
        case Length::LongLong:
            return isSigned ? AppendDecimal(va_arg(args, long long), out)
                            : AppendDecimal(va_arg(args, unsigned long long), out);
        case Length::Size:
            return isSigned ? AppendDecimal(va_arg(args, ptrdiff_t), out) : AppendDecimal(va_arg(args, size_t), out);
        default:
            return isSigned ? AppendDecimal(va_arg(args, int), out) : AppendDecimal(va_arg(args, unsigned int), out);
    }
}

// Formats one directive; false when it is none this formatter knows, in
// which case it consumed no argument.
bool FormatDirective(const Directive &directive, va_list &args, std::u16string &out) {
    const char16_t conversion = directive.conversion;
    if (conversion == u'%') {
        out.push_back(u'%');
        return true;
    }
    if (conversion == u'@') {
        AppendDescription(va_arg(args, CFTypeRef), out);
        return true;
    }
    if (IsPlainDecimal(directive)) {
        AppendPlainDecimal(directive, args, out);
        return true;
    }
    if (conversion >= 0x80) return false;
    const char ascii = static_cast<char>(conversion);
    const bool integer = kIntegerConversions.find(ascii) != std::string_view::npos;
    const bool floating = kFloatConversions.find(ascii) != std::string_view::npos;
    const bool text = ascii == 's' || ascii == 'c' || ascii == 'C' || ascii == 'p';
    if (!integer && !floating && !text) return false;
    if (floating && directive.length != Length::None && directive.length != Length::Long &&
        directive.length != Length::LongDouble)
        return false;
    if (text && directive.length != Length::None) return false;
    if (integer && directive.length == Length::LongDouble) return false;

    std::string width = directive.width;
    if (width == "*") width = std::to_string(va_arg(args, int));
    std::string precision = directive.precision;
    if (precision == ".*") precision = "." + std::to_string(va_arg(args, int));

    if (integer) {
        out += FormatInteger(directive, PieceFormat(directive, width, precision, IntegerLengthText(directive.length), ascii), args);
    } else if (floating) {
        const std::string_view length = directive.length == Length::LongDouble ? "L" : "";
        const std::string piece = PieceFormat(directive, width, precision, length, ascii);
        out += directive.length == Length::LongDouble ? FormatValue(piece, va_arg(args, long double))
                                                      : FormatValue(piece, va_arg(args, double));
    } else if (ascii == 's') {
        const char *cString = va_arg(args, const char *);
        out += FormatValue(PieceFormat(directive, width, precision, "", 's'), cString == nullptr ? "(null)" : cString);
    } else if (ascii == 'c') {
        out += FormatValue(PieceFormat(directive, width, precision, "", 'c'), va_arg(args, int));
    } else if (ascii == 'C') {
        out.push_back(static_cast<char16_t>(va_arg(args, unsigned int)));
    } else {
        out += FormatValue(PieceFormat(directive, width, precision, "", 'p'), va_arg(args, void *));
    }
    return true;
}

std::u16string Format(std::u16string_view format, va_list &args) {
    std::u16string out;
    size_t at = 0;
    while (at < format.size()) {
        const size_t next = format.find(kDirective, at);
        if (next == std::u16string_view::npos) {
            out += format.substr(at);
            break;
        }
        out += format.substr(at, next - at);
        Directive directive;
        const size_t span = ParseDirective(format.substr(next + 1), directive);
        if (span == 0 || !FormatDirective(directive, args, out)) {
            // Not a directive that can be formatted: kept as text, and no
            // argument is read for it (reading one of an unknown type is unsafe).
            out.push_back(kDirective);
            at = next + 1;
            continue;
        }
        at = next + 1 + span;
    }
    return out;
}

}  // namespace
}  // namespace kvx::host

extern "C" CFStringRef CFStringCreateWithFormat(CFAllocatorRef, CFDictionaryRef, CFStringRef format, ...) {
    using namespace kvx::host;
    if (AsString(format) == nullptr) return nullptr;
    // The format's text is copied: an argument could be the format itself.
    const std::u16string formatText(StringView(format));
    va_list args;
    va_start(args, format);
    std::u16string text = Format(formatText, args);
    va_end(args);
    return CreateString(std::move(text));
}
