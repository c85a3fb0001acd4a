#include "json_reader.hpp"

#include <cstdlib>
#include <stdexcept>

namespace kvx::test {
namespace {

// A recursive-descent reader of exactly what JSON allows; the dialog writes
// characters beyond ASCII as UTF-8, so a \u escape must be below 0x80.
class Parser {
public:
    explicit Parser(const std::string &text) : text_(text) {}

    JsonValue ParseDocument() {
        JsonValue value = ParseValue();
        if (SkipBlanks() != '\0') Fail("text after the value");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string &what) const {
        throw std::invalid_argument(what + " at offset " + std::to_string(at_) + " of " + text_);
    }

    // The next character after blanks, '\0' at the end.
    char SkipBlanks() {
        while (at_ < text_.size() && std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos) ++at_;
        return at_ < text_.size() ? text_[at_] : '\0';
    }

    bool Take(char expected) {
        if (SkipBlanks() != expected) return false;
        ++at_;
        return true;
    }

    void Expect(char expected) {
        if (!Take(expected)) Fail(std::string("expected '") + expected + "'");
    }

    bool TakeWord(std::string_view word) {
        if (text_.compare(at_, word.size(), word) != 0) return false;
        at_ += word.size();
        return true;
    }

    JsonValue ParseValue() {
        const char next = SkipBlanks();
        if (next == '"') return JsonValue(ParseString());
        if (Take('{')) {
            JsonValue::Object members;
            if (Take('}')) return JsonValue(std::move(members));
            do {
                SkipBlanks();
                std::string key = ParseString();
                Expect(':');
                members.emplace_back(std::move(key), ParseValue());
            } while (Take(','));
            Expect('}');
            return JsonValue(std::move(members));
        }
        if (Take('[')) {
            JsonValue::Array elements;
            if (Take(']')) return JsonValue(std::move(elements));
            do {
                elements.push_back(ParseValue());
            } while (Take(','));
            Expect(']');
            return JsonValue(std::move(elements));
        }
        if (TakeWord("true")) return JsonValue(true);
        if (TakeWord("false")) return JsonValue(false);
        if (TakeWord("null")) return JsonValue();
        if (next != '-' && (next < '0' || next > '9')) Fail("expected a value");
        char *end = nullptr;
        const double number = std::strtod(text_.c_str() + at_, &end);
        at_ = static_cast<size_t>(end - text_.c_str());
        return JsonValue(number);
    }

    std::string ParseString() {
        if (!TakeWord("\"")) Fail("expected a string");
        std::string out;
        for (char c = Next(); c != '"'; c = Next()) {
            if (static_cast<unsigned char>(c) < 0x20) Fail("raw control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            const char escape = Next();
            const std::string_view escapes = "\"\\/bfnrt";
            const std::string_view meanings = "\"\\/\b\f\n\r\t";
            if (const size_t index = escapes.find(escape); index != std::string_view::npos) {
                out += meanings[index];
            } else if (escape == 'u' && at_ + 4 <= text_.size()) {
                const unsigned long code = std::strtoul(text_.substr(at_, 4).c_str(), nullptr, 16);
                if (code >= 0x80) Fail("\\u escape of a character that UTF-8 would carry");
                out += static_cast<char>(code);
                at_ += 4;
            } else {
                Fail("bad escape");
            }
        }
        return out;
    }

    char Next() {
        if (at_ >= text_.size()) Fail("unterminated string");
        return text_[at_++];
    }

    const std::string &text_;
    size_t at_ = 0;
};

}  // namespace

const JsonValue &JsonValue::operator[](std::string_view key) const {
    for (const auto &[name, value] : object()) {
        if (name == key) return value;
    }
    throw std::out_of_range("no member " + std::string(key));
}

std::vector<std::string> JsonValue::keys() const {
    std::vector<std::string> names;
    for (const auto &member : object()) names.push_back(member.first);
    return names;
}

JsonValue ParseJson(const std::string &text) {
    return Parser(text).ParseDocument();
}

}  // namespace kvx::test
