#include "json.hpp"

#include <array>
#include <charconv>
#include <cmath>

namespace kvx::dialog {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr unsigned char kFirstPrintable = 0x20;

// The two-character escape of a character, or 0 when it has none.
char ShortEscapeFor(char c) {
    switch (c) {
        case '"': return '"';
        case '\\': return '\\';
        case '\b': return 'b';
        case '\f': return 'f';
        case '\n': return 'n';
        case '\r': return 'r';
        case '\t': return 't';
        default: return 0;
    }
}

}  // namespace

JsonWriter &JsonWriter::BeginObject() {
    Open('{');
    return *this;
}

JsonWriter &JsonWriter::EndObject() {
    Close('}');
    return *this;
}

JsonWriter &JsonWriter::BeginArray() {
    Open('[');
    return *this;
}

JsonWriter &JsonWriter::EndArray() {
    Close(']');
    return *this;
}

JsonWriter &JsonWriter::Key(std::string_view key) {
    BeginValue();
    AppendQuoted(key);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter &JsonWriter::String(std::string_view value) {
    BeginValue();
    AppendQuoted(value);
    return *this;
}

JsonWriter &JsonWriter::Integer(int64_t value) {
    BeginValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter &JsonWriter::Real(double value) {
    if (!std::isfinite(value)) return Null();
    BeginValue();
    // The shortest form that reads back as the same double.
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    text_.append(buffer.data(), error == std::errc() ? end : buffer.data());
    return *this;
}

JsonWriter &JsonWriter::Boolean(bool value) {
    BeginValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter &JsonWriter::Null() {
    BeginValue();
    text_ += "null";
    return *this;
}

void JsonWriter::BeginValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (containerHasValue_.empty()) return;
    if (containerHasValue_.back()) text_ += ',';
    containerHasValue_.back() = true;
}

void JsonWriter::Open(char bracket) {
    BeginValue();
    text_ += bracket;
    containerHasValue_.push_back(false);
}

void JsonWriter::Close(char bracket) {
    containerHasValue_.pop_back();
    text_ += bracket;
}

void JsonWriter::AppendQuoted(std::string_view value) {
    text_ += '"';
    for (const char c : value) {
        if (const char escape = ShortEscapeFor(c); escape != 0) {
            text_ += '\\';
            text_ += escape;
        } else if (static_cast<unsigned char>(c) < kFirstPrintable) {
            const auto code = static_cast<unsigned char>(c);
            text_ += "\\u00";
            text_ += kHexDigits[code >> 4];
            text_ += kHexDigits[code & 0xF];
        } else {
            text_ += c;
        }
    }
    text_ += '"';
}

}  // namespace kvx::dialog
