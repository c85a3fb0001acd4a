// A small JSON writer for the dialog's one-line reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvx::dialog {

// Builds one JSON text. Inside an object, Key comes before each value; the
// writer puts the commas and colons. Strings are UTF-8 and are written as they
// are, except for the characters that JSON requires to be escaped.
class JsonWriter {
public:
    JsonWriter &BeginObject();
    JsonWriter &EndObject();
    JsonWriter &BeginArray();
    JsonWriter &EndArray();
    JsonWriter &Key(std::string_view key);
    JsonWriter &String(std::string_view value);
    JsonWriter &Integer(int64_t value);
    // Numbers that JSON cannot hold (infinities, NaN) are written as null.
    JsonWriter &Real(double value);
    JsonWriter &Boolean(bool value);
    JsonWriter &Null();

    const std::string &Text() const { return text_; }

private:
    void BeginValue();
    void Open(char bracket);
    void Close(char bracket);
    void AppendQuoted(std::string_view value);

    std::string text_;
    // One entry per open object or array: whether it holds a value already.
    std::vector<bool> containerHasValue_;
    bool afterKey_ = false;
};

}  // namespace kvx::dialog
