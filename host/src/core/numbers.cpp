// CFNumber: an integer or a floating-point value, converted on request.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <variant>

#include "object.hpp"
#include "strings.hpp"

namespace kvx::host {
namespace {

// The number types the host knows beyond the ones the header names.
constexpr CFNumberType kSInt8Type = 1;
constexpr CFNumberType kSInt16Type = 2;
constexpr CFNumberType kFloat32Type = 5;
constexpr CFNumberType kFloat64Type = 6;
constexpr CFNumberType kCharType = 7;
constexpr CFNumberType kShortType = 8;
constexpr CFNumberType kLongLongType = 11;
constexpr CFNumberType kFloatType = 12;
constexpr CFNumberType kCFIndexType = 14;

using Value = std::variant<SInt64, double>;

class Number final : public Object {
public:
    static CFTypeID TypeID() {
        static const CFTypeID type = RegisterType("CFNumber");
        return type;
    }
    explicit Number(Value value) : Object(TypeID()), value_(value) {}
    const Value &value() const { return value_; }

    bool equals(const Object &other) const override {
        const Value &theirs = static_cast<const Number &>(other).value_;
        if (value_.index() == theirs.index()) return value_ == theirs;
        const SInt64 integer = std::holds_alternative<SInt64>(value_) ? std::get<SInt64>(value_) : std::get<SInt64>(theirs);
        const double floating = std::holds_alternative<double>(value_) ? std::get<double>(value_) : std::get<double>(theirs);
        return IsIntegral(floating) && static_cast<SInt64>(floating) == integer;
    }
    CFHashCode hash() const override {
        // Equal values hash alike whatever their kind: an integral double hashes as its integer.
        if (const auto *integer = std::get_if<SInt64>(&value_)) return static_cast<CFHashCode>(*integer);
        const double floating = std::get<double>(value_);
        if (IsIntegral(floating)) return static_cast<CFHashCode>(static_cast<SInt64>(floating));
        CFHashCode bits = 0;
        std::memcpy(&bits, &floating, sizeof bits);
        return bits;
    }
    std::u16string describe() const override {
        char text[64];
        const auto result = std::holds_alternative<SInt64>(value_)
                                ? std::to_chars(text, text + sizeof text, std::get<SInt64>(value_))
                                : std::to_chars(text, text + sizeof text, std::get<double>(value_));
        return FromUTF8(std::string_view(text, static_cast<size_t>(result.ptr - text)));
    }

    static bool IsIntegral(double value) {
        constexpr double kTwoTo63 = 9223372036854775808.0;
        return std::isfinite(value) && std::trunc(value) == value && value >= -kTwoTo63 && value < kTwoTo63;
    }

private:
    Value value_;
};

template <typename T>
T Read(const void *valuePtr) {
    T value;
    std::memcpy(&value, valuePtr, sizeof value);
    return value;
}

template <typename T>
void Write(void *valuePtr, T value) {
    std::memcpy(valuePtr, &value, sizeof value);
}

std::optional<Value> ReadValue(CFNumberType type, const void *valuePtr) {
    switch (type) {
        case kSInt8Type:
            return Value{SInt64{Read<SInt8>(valuePtr)}};
        case kSInt16Type:
            return Value{SInt64{Read<SInt16>(valuePtr)}};
        case kCFNumberSInt32Type:
            return Value{SInt64{Read<SInt32>(valuePtr)}};
        case kCFNumberSInt64Type:
            return Value{Read<SInt64>(valuePtr)};
        case kCharType:
            return Value{SInt64{Read<char>(valuePtr)}};
        case kShortType:
            return Value{SInt64{Read<short>(valuePtr)}};
        case kCFNumberIntType:
            return Value{SInt64{Read<int>(valuePtr)}};
        case kCFNumberLongType:
            return Value{SInt64{Read<long>(valuePtr)}};
        case kLongLongType:
            return Value{SInt64{Read<long long>(valuePtr)}};
        case kCFIndexType:
            return Value{SInt64{Read<CFIndex>(valuePtr)}};
        case kFloat32Type:
        case kFloatType:
            return Value{double{Read<float>(valuePtr)}};
        case kFloat64Type:
        case kCFNumberDoubleType:
            return Value{Read<double>(valuePtr)};
        default:
            return std::nullopt;
    }
}

// Writes the value as an integer of type T: saturated at T's range and
// truncated toward zero; true when that changed nothing.
template <typename T>
bool WriteInteger(void *valuePtr, const Value &value) {
    constexpr auto kMin = std::numeric_limits<T>::min();
    constexpr auto kMax = std::numeric_limits<T>::max();
    if (const auto *integer = std::get_if<SInt64>(&value)) {
        const T written = *integer < kMin ? kMin : *integer > kMax ? kMax : static_cast<T>(*integer);
        Write(valuePtr, written);
        return written == *integer;
    }
    // T's range as doubles: [lower, upper), both exact powers of two.
    const double upper = std::ldexp(1.0, std::numeric_limits<T>::digits);
    const double lower = std::numeric_limits<T>::is_signed ? -upper : 0.0;
    const double floating = std::get<double>(value);
    T written = 0;
    if (std::isnan(floating))
        written = 0;
    else if (floating < lower)
        written = kMin;
    else if (floating >= upper)
        written = kMax;
    else
        written = static_cast<T>(floating);
    Write(valuePtr, written);
    return !std::isnan(floating) && static_cast<double>(written) == floating && floating < upper;
}

template <typename T>
bool WriteFloating(void *valuePtr, const Value &value) {
    if (const auto *integer = std::get_if<SInt64>(&value)) {
        const T written = static_cast<T>(*integer);
        Write(valuePtr, written);
        return Number::IsIntegral(static_cast<double>(written)) && static_cast<SInt64>(written) == *integer;
    }
    const double floating = std::get<double>(value);
    constexpr double kLargest = std::numeric_limits<T>::max();
    // Beyond T's range the value becomes an infinity of its sign.
    const T written = std::isfinite(floating) && std::fabs(floating) > kLargest
                          ? std::copysign(std::numeric_limits<T>::infinity(), static_cast<T>(floating > 0 ? 1 : -1))
                          : static_cast<T>(floating);
    Write(valuePtr, written);
    return static_cast<double>(written) == floating || (std::isnan(floating) && std::isnan(written));
}

}  // namespace
}  // namespace kvx::host

using kvx::host::Number;

extern "C" {

CFTypeID CFNumberGetTypeID(void) { return Number::TypeID(); }

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void *valuePtr) {
    if (valuePtr == nullptr) return nullptr;
    const std::optional<kvx::host::Value> value = kvx::host::ReadValue(theType, valuePtr);
    if (!value) return nullptr;
    return kvx::host::ToRef<CFNumberRef>(kvx::host::Create<Number>(*value));
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void *valuePtr) {
    using namespace kvx::host;
    const Number *object = As<Number>(number, Number::TypeID());
    if (object == nullptr || valuePtr == nullptr) return false;
    const Value &value = object->value();
    switch (theType) {
        case kSInt8Type:
            return WriteInteger<SInt8>(valuePtr, value);
        case kSInt16Type:
            return WriteInteger<SInt16>(valuePtr, value);
        case kCFNumberSInt32Type:
            return WriteInteger<SInt32>(valuePtr, value);
        case kCFNumberSInt64Type:
            return WriteInteger<SInt64>(valuePtr, value);
        case kCharType:
            return WriteInteger<char>(valuePtr, value);
        case kShortType:
            return WriteInteger<short>(valuePtr, value);
        case kCFNumberIntType:
            return WriteInteger<int>(valuePtr, value);
        case kCFNumberLongType:
            return WriteInteger<long>(valuePtr, value);
        case kLongLongType:
            return WriteInteger<long long>(valuePtr, value);
        case kCFIndexType:
            return WriteInteger<CFIndex>(valuePtr, value);
        case kFloat32Type:
        case kFloatType:
            return WriteFloating<float>(valuePtr, value);
        case kFloat64Type:
        case kCFNumberDoubleType:
            return WriteFloating<double>(valuePtr, value);
        default:
            return false;
    }
}

}  // extern "C"
