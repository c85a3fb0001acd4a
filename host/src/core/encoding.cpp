#include "encoding.hpp"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <unordered_map>

namespace kvx::host {
namespace {

constexpr const char *kMacRomanCharset = "MACINTOSH";
constexpr const char *kUTF16LittleEndianCharset = "UTF-16LE";
constexpr const char *kUTF8Charset = "UTF-8";
constexpr const char *kUTF32Charset = "UTF-32LE";
constexpr std::string_view kSubstitute = "?";
constexpr size_t kUTF32UnitSize = 4;
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

struct ConverterCloser {
    void operator()(void *converter) const { iconv_close(static_cast<iconv_t>(converter)); }
};
using Converter = std::unique_ptr<void, ConverterCloser>;

// Opening a converter loads its charset modules and closing the last one
// unloads them again, which cost more than most conversions: each thread
// keeps the converters it opened and hands them out reset to their initial
// state. Null when iconv knows no such conversion.
iconv_t BorrowConverter(const char *fromCharset, const char *toCharset) {
    thread_local std::map<std::pair<std::string, std::string>, Converter> converters;
    auto [entry, added] = converters.try_emplace({fromCharset, toCharset});
    if (added) {
        iconv_t opened = iconv_open(toCharset, fromCharset);
        entry->second.reset(opened == kNoConverter ? nullptr : opened);
    }
    iconv_t converter = static_cast<iconv_t>(entry->second.get());
    if (converter != nullptr) iconv(converter, nullptr, nullptr, nullptr, nullptr);
    return converter;
}

// How many bytes the first character of input takes in its charset; 1 when
// the bytes are no character at all, so that a lossy conversion moves on.
size_t FirstCharacterLength(std::string_view input, const char *fromCharset) {
    iconv_t probe = BorrowConverter(fromCharset, kUTF32Charset);
    if (probe == nullptr) return 1;
    std::array<char, kUTF32UnitSize> unit{};
    char *in = const_cast<char *>(input.data());
    size_t inLeft = input.size();
    char *out = unit.data();
    size_t outLeft = unit.size();
    iconv(probe, &in, &inLeft, &out, &outLeft);
    const size_t consumed = input.size() - inLeft;
    return consumed == 0 ? 1 : consumed;
}

// Runs the converter over the whole input and flushes its shift state,
// growing the output as needed. At a character it cannot convert it stops
// and returns false, with stop at that character's offset and iconv's error.
bool ConvertRun(iconv_t converter, std::string_view input, std::string &output, size_t &stop, int &error) {
    char *in = const_cast<char *>(input.data());
    size_t inLeft = input.size();
    bool flushing = false;
    while (true) {
        const size_t used = output.size();
        output.resize(used + inLeft * 4 + 16);
        char *out = output.data() + used;
        size_t outLeft = output.size() - used;
        const size_t result = flushing ? iconv(converter, nullptr, nullptr, &out, &outLeft)
                                       : iconv(converter, &in, &inLeft, &out, &outLeft);
        const int lastError = errno;
        output.resize(output.size() - outLeft);
        if (result != static_cast<size_t>(-1)) {
            if (flushing) return true;
            flushing = true;
            continue;
        }
        if (lastError == E2BIG) continue;
        error = lastError;
        stop = input.size() - inLeft;
        return false;
    }
}

}  // namespace

std::optional<std::string> ConvertBytes(std::string_view bytes, const char *fromCharset, const char *toCharset,
                                        bool lossy) {
    std::string substitute;
    if (lossy) {
        iconv_t toTarget = BorrowConverter(kUTF8Charset, toCharset);
        size_t stop = 0;
        int error = 0;
        if (toTarget != nullptr) ConvertRun(toTarget, kSubstitute, substitute, stop, error);
    }
    // Borrowed last: the substitute's converter may be this same one.
    iconv_t converter = BorrowConverter(fromCharset, toCharset);
    if (converter == nullptr) return std::nullopt;
    std::string output;
    std::string_view rest = bytes;
    while (true) {
        size_t stop = 0;
        int error = 0;
        if (ConvertRun(converter, rest, output, stop, error)) return output;
        if (!lossy) return std::nullopt;
        output += substitute;
        rest.remove_prefix(stop);
        // An incomplete character at the end has nothing after it to save.
        if (error == EINVAL) return output;
        rest.remove_prefix(std::min(rest.size(), FirstCharacterLength(rest, fromCharset)));
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
}

bool IsASCII(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

std::u16string DecodeMacRoman(std::string_view bytes) {
    if (IsASCII(bytes)) return std::u16string(bytes.begin(), bytes.end());
    const std::optional<std::string> converted = ConvertBytes(bytes, kMacRomanCharset, kUTF16LittleEndianCharset, true);
    std::u16string text;
    if (!converted) return text;
    text.reserve(converted->size() / 2);
    for (size_t i = 0; i + 1 < converted->size(); i += 2) {
        const auto low = static_cast<unsigned char>((*converted)[i]);
        const auto high = static_cast<unsigned char>((*converted)[i + 1]);
        text.push_back(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

std::optional<unsigned char> EncodeMacRoman(char16_t unit) {
    // Built once from iconv's own table: the inverse of decoding every byte.
    static const std::unordered_map<char16_t, unsigned char> table = [] {
        std::string allBytes(256, '\0');
        for (size_t byte = 0; byte < allBytes.size(); ++byte) allBytes[byte] = static_cast<char>(byte);
        const std::u16string decoded = DecodeMacRoman(allBytes);
        std::unordered_map<char16_t, unsigned char> inverse;
        if (decoded.size() != allBytes.size()) return inverse;
        for (size_t byte = 0; byte < decoded.size(); ++byte)
            inverse.emplace(decoded[byte], static_cast<unsigned char>(byte));
        return inverse;
    }();
    const auto found = table.find(unit);
    if (found == table.end()) return std::nullopt;
    return found->second;
}

}  // namespace kvx::host
