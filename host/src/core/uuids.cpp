// CFUUID: sixteen bytes, compared by value; constant UUIDs are interned.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "hashing.hpp"
#include "object.hpp"
#include "strings.hpp"

namespace kvx::host {
namespace {

using UUIDBytes = std::array<UInt8, sizeof(CFUUIDBytes)>;

// 8-4-4-4-12 hex digits.
constexpr size_t kUUIDTextLength = 36;
constexpr std::array<size_t, 4> kHyphenPositions = {8, 13, 18, 23};

class UUID final : public Object {
public:
    static CFTypeID TypeID() {
        static const CFTypeID type = RegisterType("CFUUID");
        return type;
    }
    explicit UUID(const UUIDBytes &bytes) : Object(TypeID()), bytes_(bytes) {}
    const UUIDBytes &bytes() const { return bytes_; }

    bool equals(const Object &other) const override { return bytes_ == static_cast<const UUID &>(other).bytes_; }
    CFHashCode hash() const override { return HashBytes(bytes_.data(), bytes_.size()); }
    std::u16string describe() const override {
        char text[kUUIDTextLength + 1];
        std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                      bytes_[0], bytes_[1], bytes_[2], bytes_[3], bytes_[4], bytes_[5], bytes_[6], bytes_[7],
                      bytes_[8], bytes_[9], bytes_[10], bytes_[11], bytes_[12], bytes_[13], bytes_[14], bytes_[15]);
        return FromUTF8(text);
    }

private:
    UUIDBytes bytes_;
};

const UUID *AsUUID(CFUUIDRef ref) { return As<UUID>(ref, UUID::TypeID()); }

std::optional<UInt8> HexDigit(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') return static_cast<UInt8>(unit - u'0');
    if (unit >= u'a' && unit <= u'f') return static_cast<UInt8>(unit - u'a' + 10);
    if (unit >= u'A' && unit <= u'F') return static_cast<UInt8>(unit - u'A' + 10);
    return std::nullopt;
}

std::optional<UUIDBytes> ParseUUID(std::u16string_view text) {
    if (text.size() != kUUIDTextLength) return std::nullopt;
    UUIDBytes bytes{};
    size_t nibble = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        const bool hyphenHere = std::find(kHyphenPositions.begin(), kHyphenPositions.end(), at) != kHyphenPositions.end();
        if (hyphenHere) {
            if (text[at] != u'-') return std::nullopt;
            continue;
        }
        const std::optional<UInt8> digit = HexDigit(text[at]);
        if (!digit) return std::nullopt;
        bytes[nibble / 2] = static_cast<UInt8>(bytes[nibble / 2] << 4 | *digit);
        ++nibble;
    }
    return bytes;
}

UUIDBytes FromRecord(const CFUUIDBytes &record) {
    UUIDBytes bytes;
    std::memcpy(bytes.data(), &record, bytes.size());
    return bytes;
}

struct ConstantUUIDs {
    std::mutex mutex;
    std::map<UUIDBytes, UUID *> byBytes;
};

// Constants live until the process ends, past every static destructor that
// might still use one, so the table that holds them is never destroyed.
ConstantUUIDs &Constants() {
    static ConstantUUIDs *const constants = std::make_unique<ConstantUUIDs>().release();
    return *constants;
}

}  // namespace
}  // namespace kvx::host

using namespace kvx::host;

extern "C" {

CFTypeID CFUUIDGetTypeID(void) { return UUID::TypeID(); }

CFUUIDRef CFUUIDCreateFromString(CFAllocatorRef, CFStringRef uuidStr) {
    const std::optional<UUIDBytes> bytes = ParseUUID(StringView(uuidStr));
    return bytes ? ToRef<CFUUIDRef>(Create<UUID>(*bytes)) : nullptr;
}

CFUUIDRef CFUUIDCreateFromUUIDBytes(CFAllocatorRef, CFUUIDBytes bytes) {
    return ToRef<CFUUIDRef>(Create<UUID>(FromRecord(bytes)));
}

CFUUIDRef CFUUIDGetConstantUUIDWithBytes(CFAllocatorRef, UInt8 byte0, UInt8 byte1, UInt8 byte2, UInt8 byte3,
                                         UInt8 byte4, UInt8 byte5, UInt8 byte6, UInt8 byte7, UInt8 byte8, UInt8 byte9,
                                         UInt8 byte10, UInt8 byte11, UInt8 byte12, UInt8 byte13, UInt8 byte14,
                                         UInt8 byte15) {
    const UUIDBytes bytes = {byte0, byte1, byte2,  byte3,  byte4,  byte5,  byte6,  byte7,
                             byte8, byte9, byte10, byte11, byte12, byte13, byte14, byte15};
    ConstantUUIDs &constants = Constants();
    std::lock_guard lock(constants.mutex);
    auto found = constants.byBytes.find(bytes);
    if (found == constants.byBytes.end()) {
        UUID *uuid = Create<UUID>(bytes);
        uuid->makeConstant();
        found = constants.byBytes.emplace(bytes, uuid).first;
    }
    return ToRef<CFUUIDRef>(found->second);
}

CFUUIDBytes CFUUIDGetUUIDBytes(CFUUIDRef uuid) {
    CFUUIDBytes record{};
    if (const UUID *object = AsUUID(uuid)) std::memcpy(&record, object->bytes().data(), sizeof record);
    return record;
}

CFStringRef CFUUIDCreateString(CFAllocatorRef, CFUUIDRef uuid) {
    const UUID *object = AsUUID(uuid);
    return object == nullptr ? nullptr : CreateString(object->describe());
}

}  // extern "C"
