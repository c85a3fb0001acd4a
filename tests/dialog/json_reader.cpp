#include "json_reader.hpp"

#include <cstdlib>
#include <stdexcept>

namespace kvx::test {
namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    JsonValue ParseDocument() {
        JsonValue value = ParseValue();
        SkipBlanks();
        if (position_ != text_.size()) Fail("text after the value");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string &what) const {
        throw std::invalid_argument(what + " at offset " + std::to_string(position_) + " of " + std::string(text_));
    }

    void SkipBlanks() {
        while (position_ < text_.size() && std::string_view(" \t\r\n").find(text_[position_]) != std::string_view::npos) {
            ++position_;
        }
    }

    bool Take(char expected) {
        SkipBlanks();
        if (position_ < text_.size() && text_[position_] == expected) {
            ++position_;
            return true;
        }
        return false;
    }

    void Expect(char expected) {
        if (!Take(expected)) Fail(std::string("expected '") + expected + "'");
    }

    bool TakeWord(std::string_view word) {
        if (text_.substr(position_, word.size()) != word) return false;
        position_ += word.size();
        return true;
    }

    JsonValue ParseValue() {
        SkipBlanks();
        if (position_ >= text_.size()) Fail("expected a value");
        const char c = text_[position_];
        if (c == '{') return ParseObject();
        if (c == '[') return ParseArray();
        if (c == '"') return JsonValue(ParseString());
        if (TakeWord("true")) return JsonValue(true);
        if (TakeWord("false")) return JsonValue(false);
        if (TakeWord("null")) return JsonValue();
        return ParseNumber();
    }

    JsonValue ParseObject() {
        Expect('{');
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

    JsonValue ParseArray() {
        Expect('[');
        JsonValue::Array elements;
        if (Take(']')) return JsonValue(std::move(elements));
        do {
            elements.push_back(ParseValue());
        } while (Take(','));
        Expect(']');
        return JsonValue(std::move(elements));
    }

    JsonValue ParseNumber() {
        const std::string rest(text_.substr(position_));
        char *end = nullptr;
        const double value = std::strtod(rest.c_str(), &end);
        if (end == rest.c_str() || !(rest[0] == '-' || (rest[0] >= '0' && rest[0] <= '9'))) Fail("expected a value");
        position_ += static_cast<size_t>(end - rest.c_str());
        return JsonValue(value);
    }

    unsigned ParseHex4() {
        if (position_ + 4 > text_.size()) Fail("short \\u escape");
        const std::string digits(text_.substr(position_, 4));
        char *end = nullptr;
        const unsigned long code = std::strtoul(digits.c_str(), &end, 16);
        if (end != digits.c_str() + 4) Fail("bad \\u escape");
        position_ += 4;
        return static_cast<unsigned>(code);
    }

    static void AppendUTF8(std::string &out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string ParseString() {
        if (position_ >= text_.size() || text_[position_] != '"') Fail("expected a string");
        ++position_;
        std::string out;
        while (true) {
            if (position_ >= text_.size()) Fail("unterminated string");
            const char c = text_[position_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) Fail("raw control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (position_ >= text_.size()) Fail("unterminated escape");
            const char escape = text_[position_++];
            switch (escape) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': AppendUTF8(out, ParseHex4()); break;
                default: Fail("unknown escape");
            }
        }
    }

    std::string_view text_;
    size_t position_ = 0;
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

JsonValue ParseJson(std::string_view text) {
    return Parser(text).ParseDocument();
}

}  // namespace kvx::test
