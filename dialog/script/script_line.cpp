#include "dialog/script/script_line.hpp"

#include <array>
#include <charconv>
#include <limits>
#include <vector>

#include "dialog/cli/messages.hpp"

namespace kvx::dialog {
namespace {

constexpr char kCommentMark = '#';
constexpr std::string_view kBlanks = " \t";

struct ActionWord {
    std::string_view word;
    ActionKind kind;
};

constexpr std::array<ActionWord, 11> kActionWords{{
    {"choose", ActionKind::Choose},
    {"type", ActionKind::Type},
    {"key", ActionKind::Key},
    {"select", ActionKind::Select},
    {"settext", ActionKind::SetText},
    {"sync", ActionKind::Sync},
    {"show", ActionKind::Show},
    {"summary", ActionKind::Summary},
    {"ticket", ActionKind::Ticket},
    {"ok", ActionKind::Ok},
    {"cancel", ActionKind::Cancel},
}};

struct KeyName {
    std::string_view name;
    UniChar charCode;
};

constexpr std::array<KeyName, 10> kKeyNames{{
    {"backspace", kBackspaceCharCode},
    {"delete", kDeleteCharCode},
    {"left", kLeftArrowCharCode},
    {"right", kRightArrowCharCode},
    {"home", kHomeCharCode},
    {"end", kEndCharCode},
    {"tab", kTabCharCode},
    {"return", kReturnCharCode},
    {"enter", kEnterCharCode},
    {"escape", kEscapeCharCode},
}};

constexpr std::string_view kToTicketWord = "to-ticket";
constexpr std::string_view kFromTicketWord = "from-ticket";

// The text before the first space, and the rest after that one space.
std::pair<std::string_view, std::string_view> SplitAtSpace(std::string_view text) {
    const size_t space = text.find(' ');
    if (space == std::string_view::npos) return {text, {}};
    return {text.substr(0, space), text.substr(space + 1)};
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t start = text.find_first_not_of(kBlanks);
    while (start != std::string_view::npos) {
        const size_t end = text.find_first_of(kBlanks, start);
        words.push_back(text.substr(start, end - start));
        start = text.find_first_not_of(kBlanks, end);
    }
    return words;
}

ActionKind ParseActionWord(std::string_view word) {
    for (const ActionWord &entry : kActionWords) {
        if (entry.word == word) return entry.kind;
    }
    throw ScriptLineError("unknown action " + Quoted(word));
}

const session::ControlSpec &ParseControl(std::string_view name, session::PaneControlKind wanted, std::string_view action) {
    const session::ControlSpec *spec = session::FindControlSpec(name);
    if (spec == nullptr) throw ScriptLineError("unknown control " + Quoted(name));
    if (spec->kind != wanted) {
        throw ScriptLineError(std::string(action) + " needs a " +
                              (wanted == session::PaneControlKind::Popup ? "popup" : "text field") + ", and " + Quoted(name) +
                              " is not one");
    }
    return *spec;
}

void ExpectWordCount(const std::vector<std::string_view> &words, size_t count, std::string_view usage) {
    if (words.size() != count) throw ScriptLineError("expected " + Quoted(usage));
}

UniChar ParseKeyName(std::string_view name) {
    for (const KeyName &key : kKeyNames) {
        if (key.name == name) return key.charCode;
    }
    throw ScriptLineError("unknown key " + Quoted(name));
}

SInt16 ParseTextPosition(std::string_view word) {
    SInt16 position = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), position);
    if (error != std::errc() || end != word.data() + word.size() || position < 0) {
        throw ScriptLineError(Quoted(word) + " is not a text position from 0 to " +
                              std::to_string(std::numeric_limits<SInt16>::max()));
    }
    return position;
}

// choose, type and settext: the control name, then everything after the one
// space that follows it.
Action ParseTextAction(ActionKind kind, std::string_view word, std::string_view rest) {
    const auto [name, text] = SplitAtSpace(rest);
    const session::PaneControlKind wanted = kind == ActionKind::Choose ? session::PaneControlKind::Popup : session::PaneControlKind::TextField;
    Action action;
    action.kind = kind;
    action.control = &ParseControl(name, wanted, word);
    action.text = text;
    if (kind != ActionKind::SetText && action.text.empty()) {
        throw ScriptLineError(std::string(word) + " needs " + (kind == ActionKind::Choose ? "an item" : "a text") +
                              " after the control name");
    }
    return action;
}

Action ParseWordAction(ActionKind kind, std::string_view word, std::string_view rest) {
    const std::vector<std::string_view> words = SplitWords(rest);
    Action action;
    action.kind = kind;
    switch (kind) {
        case ActionKind::Key:
            ExpectWordCount(words, 2, "key CONTROL NAME");
            action.control = &ParseControl(words[0], session::PaneControlKind::TextField, word);
            action.charCode = ParseKeyName(words[1]);
            break;
        case ActionKind::Select:
            ExpectWordCount(words, 3, "select CONTROL START END");
            action.control = &ParseControl(words[0], session::PaneControlKind::TextField, word);
            action.selection = {ParseTextPosition(words[1]), ParseTextPosition(words[2])};
            if (action.selection.selStart > action.selection.selEnd) {
                throw ScriptLineError("the selection's start lies after its end");
            }
            break;
        case ActionKind::Sync:
            ExpectWordCount(words, 1, "sync to-ticket|from-ticket");
            if (words[0] == kToTicketWord) {
                action.direction = SyncDirection::ToTicket;
            } else if (words[0] == kFromTicketWord) {
                action.direction = SyncDirection::FromTicket;
            } else {
                throw ScriptLineError("expected " + Quoted("sync to-ticket|from-ticket"));
            }
            break;
        default:
            if (!words.empty()) throw ScriptLineError(std::string(word) + " takes no arguments");
            break;
    }
    return action;
}

}  // namespace

std::optional<Action> ParseScriptLine(std::string_view line) {
    // Scripts written on other systems may end their lines with CR LF.
    if (line.ends_with('\r')) line.remove_suffix(1);
    const size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string_view::npos || line[start] == kCommentMark) return std::nullopt;

    const auto [word, rest] = SplitAtSpace(line.substr(start));
    const ActionKind kind = ParseActionWord(word);
    switch (kind) {
        case ActionKind::Choose:
        case ActionKind::Type:
        case ActionKind::SetText:
            return ParseTextAction(kind, word, rest);
        default:
            return ParseWordAction(kind, word, rest);
    }
}

}  // namespace kvx::dialog
