// The .strings parser on arbitrary bytes. Either a table of string keys and
// string values comes back, or no table and a message naming a line. A table
// that was read must survive being written out again with everything outside
// printable ASCII escaped: it must read back as an equal table. A replayed
// seed named refused-lineN-* must be refused naming line N: those seeds are
// the malformed forms.
#include <cstdint>
#include <string>
#include <string_view>

#include "KVXHostSupport.hpp"
#include "fuzz_check.hpp"

namespace {

constexpr char16_t kFirstPlainUnit = 0x20;
constexpr char16_t kLastPlainUnit = 0x7E;
constexpr std::string_view kLinePrefix = "line ";
constexpr std::string_view kRefusedPrefix = "refused-line";  // then the line's number and a dash

std::u16string UnitsOf(CFTypeRef string) {
    FUZZ_CHECK(CFGetTypeID(string) == CFStringGetTypeID(), "a table key or value that is not a string");
    std::u16string units(static_cast<size_t>(CFStringGetLength(static_cast<CFStringRef>(string))), u'\0');
    CFStringGetCharacters(static_cast<CFStringRef>(string), CFRange{0, static_cast<CFIndex>(units.size())},
                          reinterpret_cast<UniChar *>(units.data()));
    return units;
}

// Every unit outside printable ASCII as a \U escape: the text is ASCII.
std::u16string Quoted(std::u16string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::u16string quoted = u"\"";
    for (const char16_t unit : text) {
        if (unit == u'"' || unit == u'\\') {
            quoted += u'\\';
            quoted += unit;
        } else if (unit >= kFirstPlainUnit && unit <= kLastPlainUnit) {
            quoted += unit;
        } else {
            quoted += u"\\U";
            for (int shift = 12; shift >= 0; shift -= 4) quoted += static_cast<char16_t>(kHex[(unit >> shift) & 0xF]);
        }
    }
    return quoted + u'"';
}

void WriteEntry(const void *key, const void *value, void *context) {
    auto &text = *static_cast<std::string *>(context);
    for (const char16_t unit : Quoted(UnitsOf(key)) + u" = " + Quoted(UnitsOf(value)) + u";\n") text += static_cast<char>(unit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const CFIndex liveAtStart = KVXHostGetLiveObjectCount(0);
    {
        kvx::CFHolder<CFStringRef> error;
        const kvx::CFHolder<CFDictionaryRef> table(
            KVXStringsTableCreateFromData(data, static_cast<CFIndex>(size), error.out()));
        if (!table) {
            FUZZ_CHECK(error, "a rejected table without a reason");
            FUZZ_CHECK(kvx::ToUTF8(error.get()).starts_with(kLinePrefix), "a reason that names no line");
        }
        if (const std::string_view name = kvx::fuzz::ReplayedName(); name.starts_with(kRefusedPrefix)) {
            const std::string_view number = name.substr(kRefusedPrefix.size(), name.find('-', kRefusedPrefix.size()) - kRefusedPrefix.size());
            FUZZ_CHECK(!table && kvx::ToUTF8(error.get()).starts_with(std::string(kLinePrefix) + std::string(number) + ":"),
                       "a seed named refused-lineN read, or refused naming another line");
        }
        if (table) {
            FUZZ_CHECK(CFGetTypeID(table.get()) == CFDictionaryGetTypeID(), "a table that is not a dictionary");
            std::string written;
            CFDictionaryApplyFunction(table.get(), WriteEntry, &written);
            const kvx::CFHolder<CFDictionaryRef> again(KVXStringsTableCreateFromData(reinterpret_cast<const UInt8 *>(written.data()),
                                                                           static_cast<CFIndex>(written.size()), error.out()));
            FUZZ_CHECK(again && CFEqual(table.get(), again.get()), "the table written with escapes reads back different");
        }
    }
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "reading a table left host objects alive");
    return 0;
}
