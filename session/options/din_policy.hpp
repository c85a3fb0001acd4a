// The private-print DIN belongs to one job. In every dialog it starts at
// 00000: it is never taken from what a dialog was handed (an application's
// saved settings, the administrator's or the user's defaults for the
// queue), it is reset whenever a dialog is shown or a printer chosen, and
// it is kept out of what goes back to the application, into saved defaults
// or into messages. This is the one place that decides it; every dialog,
// whatever its toolkit, calls it with its own store of settings.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvx::session {

using Choices = std::map<std::string, std::string>;  // pane key -> PPD choice

// Print settings by PPD key as one place keeps them: a dialog's option
// widgets, an application's settings, a job's options, a queue's defaults.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual bool Holds(std::string_view key) const = 0;
    // False when the store does not offer the value for the key.
    virtual bool Set(std::string_view key, std::string_view value) = 0;
};

// Where a new pane's starting choices may come from.
struct StartingChoiceSources {
    // What the dialog holds for the key (the application's settings and the
    // queue's defaults, as the dialog merged them).
    std::function<std::optional<std::string>(const std::string &key)> dialogChoice;
    std::function<std::optional<std::string>(const std::string &key)> ppdDefault;
    std::function<bool(const std::string &key, const std::string &choice)> ppdOffers;
};

class DinPolicy {
public:
    // The digit each DIN key starts from: the pane shows 00000.
    static constexpr std::string_view kStartingDigit = "0";

    static bool IsSecret(std::string_view key);
    // The pane's keys that defaults may give and saved defaults keep: all
    // but the DIN's.
    static std::vector<std::string_view> PlainKeys();
    // Every pane key, the plain ones first.
    static std::vector<std::string_view> AllKeys();

    // Per plain key: the dialog's choice as long as the PPD offers it, else
    // the PPD's default; keys the PPD lacks are left out, and so is the DIN,
    // which the pane then starts at 00000.
    static Choices StartingChoices(const StartingChoiceSources &sources);

    struct ResetOutcome {
        bool heldAny = false;               // the store shows the DIN at all
        std::vector<std::string> refused;  // keys whose starting digit the store does not offer
    };
    // A dialog shown or a printer chosen: each DIN key the store holds goes
    // to the starting digit, before anyone can print.
    static ResetOutcome Reset(SettingsStore &dialogStore);
    // Settings on their way back to the application (or a file of its):
    // the DIN keys there read 00000. Zeros rather than no keys: an
    // application that merges its saved settings key by key would keep an
    // older DIN.
    static void Scrub(SettingsStore &outgoing);
    // Saved defaults never hold a DIN: remove is called for each DIN key,
    // so that one stored there before goes too.
    static void KeepOutOfDefaults(const std::function<void(std::string_view key)> &remove);
    // Whether the pane's defaults may give the key's starting value and
    // saved defaults keep it.
    static bool IsPlain(std::string_view key);
    // A value as a message may show it.
    static std::string Shown(std::string_view key, std::string_view value);
};

}  // namespace kvx::session
