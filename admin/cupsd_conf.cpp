#include "cupsd_conf.hpp"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace kvx::admin {
namespace {

constexpr std::string_view kPrivatePrefix = "kvx-pin-";
// The marks around what apply adds; undo removes from the first to the second.
constexpr std::string_view kBeginMark = "# kvx-pin-policy begin";
constexpr std::string_view kNewlineNote = ", after the newline the file lacked";
constexpr std::string_view kEndMark = "# kvx-pin-policy end";
constexpr std::string_view kIndent = "  ";

bool SameWord(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return std::tolower(x & 0xff) == std::tolower(y & 0xff); });
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return "";
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::istringstream stream{std::string(text)};
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

bool HasWord(const std::vector<std::string> &words, std::string_view word) {
    return std::ranges::any_of(words, [&](const std::string &each) { return SameWord(each, word); });
}

std::string Joined(const std::vector<std::string> &words, std::string_view separator = " ") {
    std::string joined;
    for (const auto &word : words) joined += (joined.empty() ? "" : std::string(separator)) + word;
    return joined;
}

// A line as cupsd reads it: "#" starts a comment, "<Name value>" is a
// section's start.
Directive ParseLine(std::size_t index, std::string_view line) {
    std::string text = Trim(line);
    if (const auto hash = text.find('#'); hash != std::string::npos) text = Trim(text.substr(0, hash));
    if (text.starts_with('<') && text.ends_with('>')) text = text.substr(0, text.size() - 1);
    const auto space = text.find_first_of(" \t");
    if (space == std::string::npos) return {index, text, ""};
    return {index, text.substr(0, space), Trim(text.substr(space))};
}

const Directive *Find(const std::vector<Directive> &directives, std::string_view name) {
    const auto found = std::ranges::find_if(directives, [&](const Directive &d) { return SameWord(d.name, name); });
    return found != directives.end() ? &*found : nullptr;
}

std::string IndentOf(std::string_view line) {
    return std::string(line.substr(0, line.find_first_not_of(" \t")));
}

bool IsJobReading(std::string_view operation) {
    return std::ranges::any_of(kJobReadingOperations, [&](std::string_view each) { return SameWord(each, operation); });
}

}  // namespace

std::string PrivatePolicyName(std::string_view policy) {
    return std::string(kPrivatePrefix) + std::string(policy);
}

CupsdConf::CupsdConf(std::string text) : text_(std::move(text)) {
    std::istringstream stream(text_);
    for (std::string line; std::getline(stream, line);) lines_.push_back(line);

    PolicyBlock *policy = nullptr;
    LimitBlock *limit = nullptr;
    for (std::size_t index = 0; index < lines_.size(); ++index) {
        Directive directive = ParseLine(index, lines_[index]);
        if (directive.name.empty()) continue;
        if (SameWord(directive.name, "<Policy")) {
            policies_.push_back({directive.value, index, index, {}, {}});
            policy = &policies_.back();
        } else if (policy != nullptr && SameWord(directive.name, "</Policy")) {
            policy->end = index;
            policy = nullptr;
        } else if (policy != nullptr && SameWord(directive.name, "<Limit")) {
            policy->limits.push_back({index, index, Words(directive.value), {}});
            limit = &policy->limits.back();
            if (HasWord(limit->operations, "All")) limit->operations.clear();
        } else if (limit != nullptr && SameWord(directive.name, "</Limit")) {
            limit->end = index;
            limit = nullptr;
        } else if (limit != nullptr) {
            limit->body.push_back(std::move(directive));
        } else if (policy != nullptr) {
            policy->settings.push_back(std::move(directive));
        } else {
            serverSettings_.push_back(std::move(directive));
        }
    }
}

const PolicyBlock *CupsdConf::FindPolicy(std::string_view name) const {
    const auto found = std::ranges::find_if(policies_, [&](const PolicyBlock &p) { return p.name == name; });
    return found != policies_.end() ? &*found : nullptr;
}

std::string CupsdConf::DefaultAuthType() const {
    const Directive *setting = Find(serverSettings_, "DefaultAuthType");
    return setting != nullptr ? setting->value : "Basic";
}

// The <Limit> that cupsd applies to the operation: the first that names it,
// else the first for all operations.
const LimitBlock *CupsdConf::GoverningLimit(const PolicyBlock &policy, std::string_view operation) const {
    for (const auto &limit : policy.limits) {
        if (HasWord(limit.operations, operation)) return &limit;
    }
    for (const auto &limit : policy.limits) {
        if (limit.operations.empty()) return &limit;
    }
    return nullptr;
}

PolicyVerdict CupsdConf::Judge(std::string_view name) const {
    PolicyVerdict verdict;
    const PolicyBlock *policy = FindPolicy(name);
    if (policy == nullptr) {
        verdict.reasons.push_back("cupsd.conf has no <Policy " + std::string(name) +
                                  ">, so the scheduler's built-in rules apply, which keep no DIN private");
        return verdict;
    }

    const Directive *values = Find(policy->settings, "JobPrivateValues");
    const auto valueWords = values != nullptr ? Words(values->value) : std::vector<std::string>{};
    if (!HasWord(valueWords, "all")) {
        std::vector<std::string> exposed;
        for (const auto key : kSecretKeys) {
            if (HasWord(valueWords, "none") || !HasWord(valueWords, key)) exposed.emplace_back(key);
        }
        if (!exposed.empty()) {
            verdict.reasons.push_back("its JobPrivateValues line" +
                                      (values != nullptr ? " (line " + std::to_string(values->line + 1) + ")"
                                                         : std::string(" (none)")) +
                                      " lacks " + Joined(exposed));
        }
    }
    if (const Directive *access = Find(policy->settings, "JobPrivateAccess");
        access != nullptr && HasWord(Words(access->value), "all")) {
        verdict.reasons.push_back("\"JobPrivateAccess all\" (line " + std::to_string(access->line + 1) +
                                  ") shows private values to everyone");
    }

    // Operations under the same <Limit> that lacks the same lines, said once.
    std::vector<std::pair<std::string, std::string>> trusting;  // operations, what they lack and where
    for (const auto operation : kJobReadingOperations) {
        const LimitBlock *limit = GoverningLimit(*policy, operation);
        const auto body = limit != nullptr ? limit->body : std::vector<Directive>{};
        const Directive *authType = Find(body, "AuthType");
        std::string type = authType != nullptr ? authType->value : "None";
        if (SameWord(type, "Default")) type = DefaultAuthType();
        std::vector<std::string> missing;
        if (SameWord(type, "None")) {
            missing.push_back(authType != nullptr && SameWord(authType->value, "Default")
                                  ? "AuthType Basic (AuthType Default means None under DefaultAuthType None)"
                                  : "AuthType Default");
        }
        if (Find(body, "Require") == nullptr) missing.push_back("Require valid-user");
        const Directive *satisfy = Find(body, "Satisfy");
        if (satisfy != nullptr && SameWord(satisfy->value, "any")) missing.push_back("Satisfy all, not any");
        if (missing.empty()) continue;
        const std::string lack =
            (limit != nullptr ? "the <Limit> at line " + std::to_string(limit->begin + 1) : std::string("the policy")) +
            " trusts the requesting-user-name a client sends, so anyone may claim to be the job's owner; it lacks " +
            Joined(missing, ", ");
        if (!trusting.empty() && trusting.back().second == lack) {
            trusting.back().first += " and " + std::string(operation);
        } else {
            trusting.emplace_back(std::string(operation), lack);
        }
    }
    for (const auto &[operations, lack] : trusting) verdict.reasons.push_back(operations + ": " + lack);
    return verdict;
}

// The policy's lines, renamed, with the secret keys private to the job's
// owner and the operations that read jobs only for users who have proved who
// they are (over the domain socket the scheduler knows; over TCP they log in).
std::vector<std::string> CupsdConf::PrivateCopy(const PolicyBlock &policy) const {
    const std::string inner = IndentOf(Line(policy.begin)) + std::string(kIndent);
    const std::string keys = Joined({kSecretKeys.begin(), kSecretKeys.end()});

    // What the readers' limit keeps from the one that governed them: who may
    // connect from where, and over what.
    std::vector<std::string> readers = {inner + "<Limit Get-Jobs Get-Job-Attributes>",
                                        inner + std::string(kIndent) + "AuthType " +
                                            (SameWord(DefaultAuthType(), "None") ? "Basic" : "Default"),
                                        inner + std::string(kIndent) + "Require valid-user"};
    if (const LimitBlock *governing = GoverningLimit(policy, kJobReadingOperations[1])) {
        for (const auto &directive : governing->body) {
            if (!SameWord(directive.name, "AuthType") && !SameWord(directive.name, "Require") &&
                !SameWord(directive.name, "Satisfy")) {
                readers.push_back(inner + std::string(kIndent) + Trim(Line(directive.line)));
            }
        }
    }
    readers.push_back(inner + "</Limit>");

    std::vector<std::string> copy = {IndentOf(Line(policy.begin)) + "<Policy " + PrivatePolicyName(policy.name) + ">"};
    if (Find(policy.settings, "JobPrivateValues") == nullptr) copy.push_back(inner + "JobPrivateValues default " + keys);
    bool readersPlaced = false;
    std::size_t skipUntil = 0;
    for (std::size_t index = policy.begin + 1; index < policy.end; ++index) {
        if (index < skipUntil) continue;
        const std::string &line = Line(index);
        const Directive directive = ParseLine(index, line);
        const auto limit = std::ranges::find_if(policy.limits, [&](const LimitBlock &l) { return l.begin == index; });
        if (limit != policy.limits.end()) {
            if (!readersPlaced) copy.insert(copy.end(), readers.begin(), readers.end());
            readersPlaced = true;
            if (limit->operations.empty()) {
                copy.push_back(line);
                continue;
            }
            std::vector<std::string> others;
            std::ranges::copy_if(limit->operations, std::back_inserter(others),
                                 [](const std::string &operation) { return !IsJobReading(operation); });
            if (others.empty()) {
                skipUntil = limit->end + 1;
            } else {
                copy.push_back(IndentOf(line) + "<Limit " + Joined(others) + ">");
            }
        } else if (SameWord(directive.name, "JobPrivateValues") && !HasWord(Words(directive.value), "all")) {
            std::vector<std::string> words;
            std::ranges::copy_if(Words(directive.value), std::back_inserter(words),
                                 [](const std::string &word) { return !SameWord(word, "none"); });
            if (words.empty()) words.push_back("default");
            for (const auto key : kSecretKeys) {
                if (!HasWord(words, key)) words.emplace_back(key);
            }
            copy.push_back(IndentOf(line) + "JobPrivateValues " + Joined(words));
        } else if (SameWord(directive.name, "JobPrivateAccess") && HasWord(Words(directive.value), "all")) {
            copy.push_back(IndentOf(line) + "JobPrivateAccess default");
        } else {
            copy.push_back(line);
        }
    }
    if (!readersPlaced) copy.insert(copy.end(), readers.begin(), readers.end());
    copy.push_back(Line(policy.end));
    return copy;
}

std::string CupsdConf::WithPrivateCopies(const std::vector<std::string> &policies) const {
    if (policies.empty()) return text_;
    const bool endsWithNewline = text_.empty() || text_.ends_with('\n');
    std::string added = endsWithNewline ? "" : "\n";
    added += std::string(kBeginMark) + (endsWithNewline ? "" : std::string(kNewlineNote)) +
             ": private copies of policies, made by kvx-pin-policy apply; kvx-pin-policy undo removes them\n";
    for (const auto &name : policies) {
        const PolicyBlock *policy = FindPolicy(name);
        if (policy == nullptr) continue;
        for (const auto &line : PrivateCopy(*policy)) added += line + "\n";
    }
    added += std::string(kEndMark) + "\n";
    return text_ + added;
}

std::string CupsdConf::WithoutPrivateCopies() const {
    std::string text = text_;
    for (std::size_t begin = 0; (begin = text.find(kBeginMark, begin)) != std::string::npos;) {
        if (begin != 0 && text[begin - 1] != '\n') {
            ++begin;
            continue;
        }
        const auto endMark = text.find(std::string("\n") + std::string(kEndMark), begin);
        if (endMark == std::string::npos) break;
        auto end = text.find('\n', endMark + 1);
        end = end == std::string::npos ? text.size() : end + 1;
        const auto lineEnd = text.find('\n', begin);
        const bool newlineAdded = text.substr(begin, lineEnd - begin).find(kNewlineNote) != std::string::npos;
        if (newlineAdded && begin > 0) --begin;
        text.erase(begin, end - begin);
    }
    if (text != text_) return text;

    // cupsctl and the web interface write the file anew without its
    // comments, the marks among them: then the copies go by their names.
    text.clear();
    for (std::size_t index = 0; index < lines_.size(); ++index) {
        const auto copy = std::ranges::find_if(policies_, [&](const PolicyBlock &policy) {
            return policy.name.starts_with(kPrivatePrefix) && policy.begin <= index && index <= policy.end;
        });
        if (copy == policies_.end()) text += lines_[index] + "\n";
    }
    if (!text_.ends_with('\n') && text.ends_with('\n')) text.pop_back();
    return text;
}

}  // namespace kvx::admin
