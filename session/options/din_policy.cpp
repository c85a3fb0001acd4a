#include "session/options/din_policy.hpp"

#include <algorithm>

#include "session/messages.hpp"
#include "session/options/pane_keys.hpp"

namespace kvx::session {
namespace {

std::vector<std::string_view> KeysWhere(bool secret) {
    std::vector<std::string_view> keys;
    for (const PaneKey &key : kPaneKeys) {
        if (key.secret == secret) keys.push_back(key.name);
    }
    return keys;
}

}  // namespace

bool DinPolicy::IsSecret(std::string_view key) {
    return std::ranges::any_of(kPaneKeys, [&](const PaneKey &paneKey) { return paneKey.secret && paneKey.name == key; });
}

std::vector<std::string_view> DinPolicy::PlainKeys() {
    return KeysWhere(false);
}

std::vector<std::string_view> DinPolicy::AllKeys() {
    std::vector<std::string_view> keys = KeysWhere(false);
    std::ranges::copy(KeysWhere(true), std::back_inserter(keys));
    return keys;
}

Choices DinPolicy::StartingChoices(const StartingChoiceSources &sources) {
    Choices choices;
    for (const std::string_view keyView : PlainKeys()) {
        const std::string key(keyView);
        std::optional<std::string> choice = sources.dialogChoice(key);
        if (!choice || !sources.ppdOffers(key, *choice)) choice = sources.ppdDefault(key);
        if (choice && sources.ppdOffers(key, *choice)) choices[key] = *choice;
    }
    return choices;
}

DinPolicy::ResetOutcome DinPolicy::Reset(SettingsStore &dialogStore) {
    ResetOutcome outcome;
    for (const std::string_view key : KeysWhere(true)) {
        if (!dialogStore.Holds(key)) continue;
        outcome.heldAny = true;
        if (!dialogStore.Set(key, kStartingDigit)) outcome.refused.emplace_back(key);
    }
    return outcome;
}

void DinPolicy::Scrub(SettingsStore &outgoing) {
    for (const std::string_view key : KeysWhere(true)) {
        if (outgoing.Holds(key)) outgoing.Set(key, kStartingDigit);
    }
}

void DinPolicy::KeepOutOfDefaults(const std::function<void(std::string_view key)> &remove) {
    std::ranges::for_each(KeysWhere(true), remove);
}

bool DinPolicy::IsPlain(std::string_view key) {
    return std::ranges::any_of(kPaneKeys, [&](const PaneKey &paneKey) { return !paneKey.secret && paneKey.name == key; });
}

std::string DinPolicy::Shown(std::string_view key, std::string_view value) {
    return IsSecret(key) ? "the value given" : Quoted(value);
}

}  // namespace kvx::session
