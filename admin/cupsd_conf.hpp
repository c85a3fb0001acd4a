// A scheduler's cupsd.conf as far as the privacy of the private-print DIN
// goes: its <Policy> blocks, whether a policy lets another user read a job's
// DIN and department code, and the file with private copies of policies added
// (and taken away again, byte for byte).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "session/options/pane_keys.hpp"

namespace kvx::admin {

// The Korvane PPD's keys whose values a print server keeps from other
// users: the DIN and the department code, one digit each, the DIN first.
inline constexpr auto kSecretKeys = [] {
    constexpr auto kCount = std::ranges::count_if(session::kPaneKeys, &session::PaneKey::codeDigit);
    std::array<std::string_view, kCount> keys{};
    auto next = keys.begin();
    for (const bool secret : {true, false}) {
        for (const session::PaneKey &key : session::kPaneKeys) {
            if (key.codeDigit && key.secret == secret) *next++ = key.name;
        }
    }
    return keys;
}();

// The two requests that hand out a job's attributes to whoever asks.
inline constexpr std::array<std::string_view, 2> kJobReadingOperations = {"Get-Jobs", "Get-Job-Attributes"};

// One configuration line: its directive and value, comments and the
// surrounding blanks gone.
struct Directive {
    std::size_t line = 0;  // 0-based
    std::string name;
    std::string value;
};

struct LimitBlock {
    std::size_t begin = 0;  // the <Limit> line
    std::size_t end = 0;    // the </Limit> line
    std::vector<std::string> operations;  // empty: all
    std::vector<Directive> body;
};

struct PolicyBlock {
    std::string name;
    std::size_t begin = 0;  // the <Policy> line
    std::size_t end = 0;    // the </Policy> line
    std::vector<Directive> settings;  // outside its <Limit> blocks
    std::vector<LimitBlock> limits;
};

// Why another user could read a job's DIN under one policy; nothing when
// none could.
struct PolicyVerdict {
    std::vector<std::string> reasons;
    bool IsPrivate() const { return reasons.empty(); }
};

class CupsdConf {
public:
    explicit CupsdConf(std::string text);

    const std::string &text() const { return text_; }
    // Null when the file has no such policy (cupsd then has none, or, for
    // "default", a built-in one).
    const PolicyBlock *FindPolicy(std::string_view name) const;
    const std::vector<PolicyBlock> &policies() const { return policies_; }
    // The line as the file has it, without its end.
    const std::string &Line(std::size_t index) const { return lines_[index]; }
    // The authentication that "AuthType Default" means here.
    std::string DefaultAuthType() const;

    PolicyVerdict Judge(std::string_view policy) const;

    // The file with a private copy of each of `policies` (each one in the
    // file) added, named PrivatePolicyName(policy), in one marked block at
    // its end; everything before it stays as it is.
    std::string WithPrivateCopies(const std::vector<std::string> &policies) const;
    // The file without what WithPrivateCopies added, byte for byte as before.
    // Where its marks are gone (a tool wrote the file anew without comments),
    // the file without the private copies, found by their names.
    std::string WithoutPrivateCopies() const;

private:
    const LimitBlock *GoverningLimit(const PolicyBlock &policy, std::string_view operation) const;
    std::vector<std::string> PrivateCopy(const PolicyBlock &policy) const;

    std::string text_;
    std::vector<std::string> lines_;
    std::vector<Directive> serverSettings_;
    std::vector<PolicyBlock> policies_;
};

// The name of the private copy of a policy.
std::string PrivatePolicyName(std::string_view policy);

}  // namespace kvx::admin
