#include "strings.hpp"

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "encoding.hpp"
#include "string_object.hpp"
#include "unicode.hpp"

namespace kvx::host {
namespace {

// Each UTF-16 unit takes at most three bytes in UTF-8 (a pair takes four).
constexpr CFIndex kMaxUTF8BytesPerUnit = 3;

// The text of bytes in the encoding; nullopt for an encoding the host lacks
// or bytes that are not text in it.
std::optional<std::u16string> Decode(std::string_view bytes, CFStringEncoding encoding) {
    switch (encoding) {
        case kCFStringEncodingUTF8:
            return DecodeUTF8Exactly(bytes);
        case kCFStringEncodingMacRoman:
            return DecodeMacRoman(bytes);
        default:
            return std::nullopt;
    }
}

// The bytes of text in the encoding; nullopt when a character has no bytes.
std::optional<std::string> Encode(std::u16string_view text, CFStringEncoding encoding) {
    switch (encoding) {
        case kCFStringEncodingUTF8:
            return ToUTF8(text);
        case kCFStringEncodingMacRoman: {
            std::string bytes;
            bytes.reserve(text.size());
            for (const char16_t unit : text) {
                const std::optional<unsigned char> byte = EncodeMacRoman(unit);
                if (!byte) return std::nullopt;
                bytes.push_back(static_cast<char>(*byte));
            }
            return bytes;
        }
        default:
            return std::nullopt;
    }
}

CFStringRef CreateFromDecoded(const std::optional<std::u16string> &text) {
    return text ? CreateString(*text) : nullptr;
}

CFMutableStringRef CreateMutable(std::u16string text, CFIndex maxLength) {
    if (maxLength < 0) return nullptr;
    return ToRef<CFMutableStringRef>(Create<String>(std::move(text), true, maxLength));
}

bool RangeInside(CFRange range, size_t length) {
    return range.location >= 0 && range.length >= 0 && static_cast<size_t>(range.location) <= length &&
           static_cast<size_t>(range.length) <= length - static_cast<size_t>(range.location);
}

struct ConstantStrings {
    std::mutex mutex;
    // Entries are never removed, so pointers to them stay valid.
    std::map<std::string, String *, std::less<>> byBytes;
};
using ConstantEntry = std::pair<const std::string, String *>;

// Each thread remembers where the C strings it turned into constants lay:
// CFSTR passes the same literal each time, so most lookups end here without
// the lock and the table walk. The bytes are compared all the same, since a
// caller may pass any buffer, and a buffer's contents can change.
struct RecentConstant {
    const char *address = nullptr;
    const ConstantEntry *entry = nullptr;
};
constexpr size_t kRecentConstants = 64;  // a power of two
thread_local std::array<RecentConstant, kRecentConstants> recentConstants;

RecentConstant &RecentSlot(const char *address) {
    // Literals are rarely closer than a few bytes apart: the low bits say little.
    return recentConstants[(reinterpret_cast<uintptr_t>(address) >> 3) & (kRecentConstants - 1)];
}

// Constants live until the process ends, past every static destructor that
// might still use one, so the table that holds them is never destroyed.
ConstantStrings &Constants() {
    static ConstantStrings *const constants = std::make_unique<ConstantStrings>().release();
    return *constants;
}

}  // namespace
}  // namespace kvx::host

using namespace kvx::host;

extern "C" {

CFTypeID CFStringGetTypeID(void) { return StringTypeID(); }

CFStringRef __CFStringMakeConstantString(const char *cStr) {
    if (cStr == nullptr) return nullptr;
    RecentConstant &recent = RecentSlot(cStr);
    if (recent.address == cStr && std::strcmp(cStr, recent.entry->first.c_str()) == 0)
        return ToRef<CFStringRef>(recent.entry->second);
    ConstantStrings &constants = Constants();
    std::lock_guard lock(constants.mutex);
    const std::string_view bytes(cStr);
    auto found = constants.byBytes.find(bytes);
    if (found == constants.byBytes.end()) {
        String *string = Create<String>(FromUTF8(bytes), false, 0);
        string->makeConstant();
        found = constants.byBytes.emplace(std::string(bytes), string).first;
    }
    recent = RecentConstant{cStr, &*found};
    return ToRef<CFStringRef>(found->second);
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char *cStr, CFStringEncoding encoding) {
    if (cStr == nullptr) return nullptr;
    return CreateFromDecoded(Decode(cStr, encoding));
}

CFStringRef CFStringCreateWithPascalString(CFAllocatorRef, ConstStr255Param pStr, CFStringEncoding encoding) {
    if (pStr == nullptr) return nullptr;
    const std::string_view bytes(reinterpret_cast<const char *>(pStr + 1), pStr[0]);
    return CreateFromDecoded(Decode(bytes, encoding));
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar *chars, CFIndex numChars) {
    if (numChars < 0 || (chars == nullptr && numChars > 0)) return nullptr;
    std::u16string text(static_cast<size_t>(numChars), u'\0');
    if (numChars > 0) std::memcpy(text.data(), chars, static_cast<size_t>(numChars) * sizeof(UniChar));
    return CreateString(text);
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef theString) {
    const String *string = AsString(theString);
    if (string == nullptr) return nullptr;
    // An immutable string cannot change, so the copy can be the same object.
    if (!string->isMutable()) return static_cast<CFStringRef>(CFRetain(theString));
    return CreateString(string->text());
}

CFMutableStringRef CFStringCreateMutable(CFAllocatorRef, CFIndex maxLength) { return CreateMutable({}, maxLength); }

CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef, CFIndex maxLength, CFStringRef theString) {
    const String *string = AsString(theString);
    if (string == nullptr) return nullptr;
    return CreateMutable(std::u16string(string->text()), maxLength);
}

void CFStringAppend(CFMutableStringRef theString, CFStringRef appendedString) {
    String *string = AsMutableString(theString);
    if (string == nullptr) return;
    // Copied first: the appended string may be this very string.
    const std::u16string appended(StringView(appendedString));
    string->append(appended);
}

void CFStringAppendCharacters(CFMutableStringRef theString, const UniChar *chars, CFIndex numChars) {
    String *string = AsMutableString(theString);
    if (string == nullptr || chars == nullptr || numChars <= 0) return;
    string->append(std::u16string_view(reinterpret_cast<const char16_t *>(chars), static_cast<size_t>(numChars)));
}

void CFStringAppendCString(CFMutableStringRef theString, const char *cStr, CFStringEncoding encoding) {
    String *string = AsMutableString(theString);
    if (string == nullptr || cStr == nullptr) return;
    if (const std::optional<std::u16string> text = Decode(cStr, encoding)) string->append(*text);
}

CFIndex CFStringGetLength(CFStringRef theString) { return static_cast<CFIndex>(StringView(theString).size()); }

UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx) {
    const std::u16string_view text = StringView(theString);
    if (idx < 0 || static_cast<size_t>(idx) >= text.size()) return 0;
    return text[static_cast<size_t>(idx)];
}

void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar *buffer) {
    const std::u16string_view text = StringView(theString);
    if (buffer == nullptr || !RangeInside(range, text.size())) return;
    std::memcpy(buffer, text.data() + range.location, static_cast<size_t>(range.length) * sizeof(UniChar));
}

Boolean CFStringGetCString(CFStringRef theString, char *buffer, CFIndex bufferSize, CFStringEncoding encoding) {
    if (buffer == nullptr || bufferSize <= 0) return false;
    buffer[0] = '\0';
    if (AsString(theString) == nullptr) return false;
    const std::optional<std::string> bytes = Encode(StringView(theString), encoding);
    if (!bytes || bytes->size() >= static_cast<size_t>(bufferSize)) return false;
    std::memcpy(buffer, bytes->c_str(), bytes->size() + 1);
    return true;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding) {
    if (length < 0) return 0;
    switch (encoding) {
        case kCFStringEncodingUTF8:
            return length * kMaxUTF8BytesPerUnit;
        case kCFStringEncodingMacRoman:
            return length;
        default:
            return 0;
    }
}

// Only literal comparison by UTF-16 units is offered; other flags are ignored.
CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2, CFStringCompareFlags) {
    const int order = StringView(theString1).compare(StringView(theString2));
    if (order < 0) return kCFCompareLessThan;
    return order > 0 ? kCFCompareGreaterThan : kCFCompareEqualTo;
}

}  // extern "C"
