// Converts between libplist trees and host objects.
#include "property_list.hpp"

#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <memory>

#include "KVXHostSupport.hpp"
#include "core/object.hpp"
#include "core/strings.hpp"

namespace kvx::host {
namespace {

// Seconds from the Unix epoch to the plist epoch, 2001-01-01 00:00:00 UTC.
constexpr std::int64_t kPlistEpochOffset = 978307200;
constexpr std::size_t kISO8601Size = sizeof "YYYY-MM-DDTHH:MM:SSZ";

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistHolder = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(void *memory) const { std::free(memory); }
};

CFTypeRef CreateFromNode(plist_t node, std::string &error);

CFTypeRef CreateInteger(plist_t node) {
    std::uint64_t raw = 0;
    plist_get_uint_val(node, &raw);
    // libplist keeps negative integers in two's complement.
    const auto value = static_cast<SInt64>(raw);
    if (value >= std::numeric_limits<SInt32>::min() && value <= std::numeric_limits<SInt32>::max()) {
        const auto narrow = static_cast<SInt32>(value);
        return CFNumberCreate(nullptr, kCFNumberSInt32Type, &narrow);
    }
    return CFNumberCreate(nullptr, kCFNumberSInt64Type, &value);
}

CFTypeRef CreateDateString(plist_t node, std::string &error) {
    std::int32_t seconds = 0;
    std::int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    const std::time_t unixTime = static_cast<std::time_t>(seconds + kPlistEpochOffset);
    std::tm utc{};
    char text[kISO8601Size];
    if (gmtime_r(&unixTime, &utc) == nullptr || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc) == 0) {
        error = "a date is out of range";
        return nullptr;
    }
    return CreateStringFromUTF8(text);
}

CFTypeRef CreateArray(plist_t node, std::string &error) {
    CFHolder<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    const std::uint32_t count = plist_array_get_size(node);
    for (std::uint32_t index = 0; index < count; ++index) {
        CFHolder<CFTypeRef> item(CreateFromNode(plist_array_get_item(node, index), error));
        if (!item) return nullptr;
        CFArrayAppendValue(array.get(), item.get());
    }
    return array.release();
}

CFTypeRef CreateDictionary(plist_t node, std::string &error) {
    CFHolder<CFMutableDictionaryRef> dictionary(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    const std::unique_ptr<void, MallocDeleter> iteratorHolder(iterator);
    for (;;) {
        char *rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &rawKey, &value);
        const std::unique_ptr<char, MallocDeleter> key(rawKey);
        if (value == nullptr) break;
        if (key == nullptr) {
            error = "a dictionary key is not a string";
            return nullptr;
        }
        CFHolder<CFStringRef> keyString(CreateStringFromUTF8(key.get()));
        CFHolder<CFTypeRef> item(CreateFromNode(value, error));
        if (!item) return nullptr;
        CFDictionarySetValue(dictionary.get(), keyString.get(), item.get());
    }
    return dictionary.release();
}

CFTypeRef CreateFromNode(plist_t node, std::string &error) {
    switch (plist_get_node_type(node)) {
    case PLIST_STRING:
        return CreateStringFromUTF8(plist_get_string_ptr(node, nullptr));
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return CFRetain(value != 0 ? kCFBooleanTrue : kCFBooleanFalse);
    }
    case PLIST_UINT:
        return CreateInteger(node);
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return CFNumberCreate(nullptr, kCFNumberDoubleType, &value);
    }
    case PLIST_DATE:
        return CreateDateString(node, error);
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const char *bytes = plist_get_data_ptr(node, &length);
        return CFDataCreate(nullptr, reinterpret_cast<const UInt8 *>(bytes), static_cast<CFIndex>(length));
    }
    case PLIST_ARRAY:
        return CreateArray(node, error);
    case PLIST_DICT:
        return CreateDictionary(node, error);
    default:
        error = "it holds a value of a type that is not supported (only strings, numbers, booleans, dates, data, "
                "arrays and dictionaries are)";
        return nullptr;
    }
}

plist_t NodeFromObject(CFTypeRef object, std::string &error);

struct DictionaryWriter {
    plist_t node;
    std::string &error;
};

void WriteDictionaryEntry(const void *key, const void *value, void *context) {
    auto &writer = *static_cast<DictionaryWriter *>(context);
    if (!writer.error.empty()) return;
    if (CFGetTypeID(key) != CFStringGetTypeID()) {
        writer.error = "a dictionary key is not a string";
        return;
    }
    plist_t item = NodeFromObject(value, writer.error);
    if (item != nullptr) plist_dict_set_item(writer.node, ToUTF8(static_cast<CFStringRef>(key)).c_str(), item);
}

plist_t NodeFromNumber(CFNumberRef number) {
    // Whole numbers are written as integers, everything else as reals.
    SInt64 integer = 0;
    if (CFNumberGetValue(number, kCFNumberSInt64Type, &integer)) return plist_new_uint(static_cast<std::uint64_t>(integer));
    double real = 0;
    CFNumberGetValue(number, kCFNumberDoubleType, &real);
    return plist_new_real(real);
}

plist_t NodeFromObject(CFTypeRef object, std::string &error) {
    const CFTypeID type = CFGetTypeID(object);
    if (type == CFStringGetTypeID()) return plist_new_string(ToUTF8(static_cast<CFStringRef>(object)).c_str());
    if (type == CFBooleanGetTypeID()) return plist_new_bool(CFBooleanGetValue(static_cast<CFBooleanRef>(object)));
    if (type == CFNumberGetTypeID()) return NodeFromNumber(static_cast<CFNumberRef>(object));
    if (type == CFDataGetTypeID()) {
        const auto data = static_cast<CFDataRef>(object);
        return plist_new_data(reinterpret_cast<const char *>(CFDataGetBytePtr(data)),
                              static_cast<std::uint64_t>(CFDataGetLength(data)));
    }
    if (type == CFArrayGetTypeID()) {
        const auto array = static_cast<CFArrayRef>(object);
        PlistHolder node(plist_new_array());
        for (CFIndex index = 0; index < CFArrayGetCount(array); ++index) {
            plist_t item = NodeFromObject(CFArrayGetValueAtIndex(array, index), error);
            if (item == nullptr) return nullptr;
            plist_array_append_item(node.get(), item);
        }
        return node.release();
    }
    if (type == CFDictionaryGetTypeID()) {
        PlistHolder node(plist_new_dict());
        DictionaryWriter writer{node.get(), error};
        CFDictionaryApplyFunction(static_cast<CFDictionaryRef>(object), WriteDictionaryEntry, &writer);
        return error.empty() ? node.release() : nullptr;
    }
    error = object == nullptr ? "it holds a null value"
                              : std::string("it holds an object of type ") + TypeName(type) +
                                    ", which a property list cannot hold";
    return nullptr;
}

// libplist aborts when it hands out a key whose text holds a NUL before its
// end (a binary list's UTF-16 U+0000 makes one). Its XML form carries every
// byte of every key and string, so a NUL there finds such a list first.
bool HoldsNulCharacter(plist_t root) {
    char *text = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root, &text, &length);
    const std::unique_ptr<char, MallocDeleter> textHolder(text);
    return text != nullptr && std::memchr(text, '\0', length) != nullptr;
}

void MakeConstantEntry(const void *key, const void *value, void *) {
    MakePropertyListConstant(key);
    MakePropertyListConstant(value);
}

}  // namespace

CFPropertyListRef CreatePropertyListFromBytes(std::string_view bytes, std::string &error) {
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        error = "it is too large";
        return nullptr;
    }
    // The two kinds the platform reads, chosen here: plist_from_memory would
    // also take JSON and OpenStep text from libplist 2.3 on.
    const auto size = static_cast<std::uint32_t>(bytes.size());
    plist_t root = nullptr;
    if (plist_is_binary(bytes.data(), size))
        plist_from_bin(bytes.data(), size, &root);
    else
        plist_from_xml(bytes.data(), size, &root);
    const PlistHolder holder(root);
    if (root == nullptr) {
        error = "it is not a property list (neither XML nor binary)";
        return nullptr;
    }
    if (HoldsNulCharacter(root)) {
        error = "a key or string holds a NUL character";
        return nullptr;
    }
    return CreateFromNode(root, error);
}

bool PropertyListToXML(CFPropertyListRef plist, std::string &xml, std::string &error) {
    const PlistHolder root(NodeFromObject(plist, error));
    if (root == nullptr) return false;
    char *text = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &text, &length);
    const std::unique_ptr<char, MallocDeleter> textHolder(text);
    if (text == nullptr) {
        error = "it could not be turned into XML";
        return false;
    }
    xml.assign(text, length);
    return true;
}

void MakePropertyListConstant(CFPropertyListRef plist) {
    if (plist == nullptr) return;
    const CFTypeID type = CFGetTypeID(plist);
    if (type == CFArrayGetTypeID()) {
        const auto array = static_cast<CFArrayRef>(plist);
        for (CFIndex index = 0; index < CFArrayGetCount(array); ++index)
            MakePropertyListConstant(CFArrayGetValueAtIndex(array, index));
    } else if (type == CFDictionaryGetTypeID()) {
        CFDictionaryApplyFunction(static_cast<CFDictionaryRef>(plist), MakeConstantEntry, nullptr);
    }
    ObjectFrom(plist)->makeConstant();
}

}  // namespace kvx::host
