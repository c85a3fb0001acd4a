// The .strings parser on arbitrary bytes. Either a table of string keys and
// string values comes back, or no table and a message naming a line. A table
// that was read must survive being written out again, once with everything
// outside printable ASCII escaped (UTF-8) and once with everything literal
// (UTF-16 with a byte-order mark): both must read back as an equal table.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "KVXHostSupport.hpp"
#include "fuzz_check.hpp"
#include "string_units.hpp"

namespace {

using kvx::fuzz::UnitsOf;

constexpr char16_t kFirstPlainUnit = 0x20;
constexpr char16_t kLastPlainUnit = 0x7E;
constexpr std::string_view kLinePrefix = "line ";
constexpr std::string_view kUTF16LEByteOrderMark = "\xFF\xFE";

std::u16string Quoted(std::u16string_view text, bool escapeAll) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::u16string quoted = u"\"";
    for (const char16_t unit : text) {
        if (unit == u'"' || unit == u'\\') {
            quoted += u'\\';
            quoted += unit;
        } else if (!escapeAll || (unit >= kFirstPlainUnit && unit <= kLastPlainUnit)) {
            quoted += unit;
        } else {
            quoted += u"\\U";
            for (int shift = 12; shift >= 0; shift -= 4) quoted += static_cast<char16_t>(kHex[(unit >> shift) & 0xF]);
        }
    }
    return quoted + u'"';
}

struct Writer {
    bool escapeAll;
    std::u16string text;
};

void WriteEntry(const void *key, const void *value, void *context) {
    auto &writer = *static_cast<Writer *>(context);
    FUZZ_CHECK(CFGetTypeID(key) == CFStringGetTypeID(), "a table key that is not a string");
    FUZZ_CHECK(CFGetTypeID(value) == CFStringGetTypeID(), "a table value that is not a string");
    writer.text += Quoted(UnitsOf(static_cast<CFStringRef>(key)), writer.escapeAll) + u" = " +
                   Quoted(UnitsOf(static_cast<CFStringRef>(value)), writer.escapeAll) + u";\n";
}

std::u16string WriteTable(CFDictionaryRef table, bool escapeAll) {
    Writer writer{escapeAll, {}};
    CFDictionaryApplyFunction(table, WriteEntry, &writer);
    return writer.text;
}

std::string AsASCII(std::u16string_view text) { return {text.begin(), text.end()}; }

std::string AsUTF16LE(std::u16string_view text) {
    std::string bytes(kUTF16LEByteOrderMark);
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

void CheckReadsBackEqual(CFDictionaryRef table, const std::string &bytes, const char *what) {
    kvx::CFHolder<CFStringRef> error;
    const kvx::CFHolder<CFDictionaryRef> again(KVXStringsTableCreateFromData(
        reinterpret_cast<const UInt8 *>(bytes.data()), static_cast<CFIndex>(bytes.size()), error.out()));
    FUZZ_CHECK(again, what);
    FUZZ_CHECK(CFEqual(table, again.get()), what);
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
        } else {
            FUZZ_CHECK(CFGetTypeID(table.get()) == CFDictionaryGetTypeID(), "a table that is not a dictionary");
            CheckReadsBackEqual(table.get(), AsASCII(WriteTable(table.get(), true)),
                                "the table written with escapes reads back different");
            CheckReadsBackEqual(table.get(), AsUTF16LE(WriteTable(table.get(), false)),
                                "the table written literally as UTF-16 reads back different");
        }
    }
    FUZZ_CHECK(KVXHostGetLiveObjectCount(0) == liveAtStart, "reading a table left host objects alive");
    return 0;
}
