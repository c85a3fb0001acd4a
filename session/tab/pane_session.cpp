#include "session/tab/pane_session.hpp"

#include <stdexcept>

namespace kvx::session {
namespace {

void SetChoice(CFMutableDictionaryRef ppdDict, const std::string &key, const std::string &choice) {
    const CFHolder<CFStringRef> keyString = MakeString(key);
    const CFHolder<CFStringRef> choiceString = MakeString(choice);
    if (keyString && choiceString) CFDictionarySetValue(ppdDict, keyString.get(), choiceString.get());
}

// The ticket holds the starting choices before the pane first reads it.
const PrintSession &Started(const PrintSession &session, const Choices &starting) {
    for (const auto &[key, choice] : starting) SetChoice(session.PPDDict(), key, choice);
    return session;
}

}  // namespace

PaneSession::PaneSession(const QueueAnswer &answer, const std::string &plugInsFolder, const Choices &starting)
    : answer_(answer), session_(answer_.ppd), host_(plugInsFolder, Started(session_, starting)) {
    if (!host_.IsShown()) throw std::runtime_error(host_.NotShownReason());
    host_.SyncFromTicket();
}

Choices PaneSession::SyncToTicket() {
    Choices choices;
    if (!host_.IsShown() || host_.SyncToTicket() != noErr) return choices;
    for (const OptionText &option : answer_.options.texts) {
        const CFHolder<CFStringRef> key = MakeString(option.key);
        const auto value = static_cast<CFTypeRef>(CFDictionaryGetValue(session_.PPDDict(), key.get()));
        if (value != nullptr && CFGetTypeID(value) == CFStringGetTypeID()) {
            choices[option.key] = ToUTF8(static_cast<CFStringRef>(value));
        }
    }
    return choices;
}

void PaneSession::TakeChoice(const std::string &key, const std::string &choice) {
    if (!host_.IsShown()) return;
    SetChoice(session_.PPDDict(), key, choice);
    host_.SyncFromTicket();
}

void PaneSession::Dismiss(bool accepted) {
    host_.Dismiss(accepted ? DialogOutcome::Accepted : DialogOutcome::Canceled);
}

}  // namespace kvx::session
