// Reads the dialog's JSON reports back, strictly, so that a test both checks
// that a report is valid JSON and looks into it.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace kvx::test {

class JsonValue {
public:
    using Array = std::vector<JsonValue>;
    using Object = std::vector<std::pair<std::string, JsonValue>>;  // in the text's order

    JsonValue() = default;
    template <typename T>
        requires(!std::is_same_v<std::decay_t<T>, JsonValue>)
    explicit JsonValue(T value) : value_(std::move(value)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    bool boolean() const { return std::get<bool>(value_); }
    double number() const { return std::get<double>(value_); }
    const std::string &string() const { return std::get<std::string>(value_); }
    const Array &array() const { return std::get<Array>(value_); }
    const Object &object() const { return std::get<Object>(value_); }

    // The member's value; throws std::out_of_range when there is none.
    const JsonValue &operator[](std::string_view key) const;
    const JsonValue &operator[](size_t index) const { return array().at(index); }

    // The members' names in order.
    std::vector<std::string> keys() const;

private:
    std::variant<std::monostate, bool, double, std::string, Array, Object> value_;
};

// Parses one JSON text; throws std::invalid_argument for anything else.
JsonValue ParseJson(const std::string &text);

}  // namespace kvx::test
