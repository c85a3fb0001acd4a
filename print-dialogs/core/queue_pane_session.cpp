#include "queue_pane_session.hpp"

#include <algorithm>
#include <stdexcept>

namespace kvx::print_dialogs {
namespace {

dialog::Options SessionOptions(const QueueAnswer &answer, const std::string &plugInsFolder) {
    dialog::Options options;
    options.ppdPath = answer.ppd->path();
    options.plugInsFolder = plugInsFolder;
    return options;
}

std::string StringAt(CFArrayRef array, CFIndex index) {
    const auto value = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(array, index));
    return value != nullptr && CFGetTypeID(value) == CFStringGetTypeID() ? ToUTF8(static_cast<CFStringRef>(value))
                                                                         : std::string();
}

void SetChoice(CFMutableDictionaryRef ppdDict, const std::string &key, const std::string &choice) {
    const CFHolder<CFStringRef> keyString = MakeString(key);
    const CFHolder<CFStringRef> choiceString = MakeString(choice);
    if (keyString && choiceString) CFDictionarySetValue(ppdDict, keyString.get(), choiceString.get());
}

// A session whose ticket holds the starting choices before the pane first
// reads it.
std::unique_ptr<dialog::PrintSession> MakeSession(const QueueAnswer &answer, const std::string &plugInsFolder,
                                                  const Choices &starting) {
    auto session = std::make_unique<dialog::PrintSession>(SessionOptions(answer, plugInsFolder));
    for (const auto &[key, choice] : starting) SetChoice(session->PPDDict(), key, choice);
    return session;
}

}  // namespace

QueuePaneSession::QueuePaneSession(const QueueAnswer &answer, const std::string &plugInsFolder,
                                   const Choices &starting)
    : answer_(answer), session_(MakeSession(answer, plugInsFolder, starting)), host_(plugInsFolder, *session_) {
    if (!host_.IsShown()) throw std::runtime_error(host_.NotShownReason());
    host_.SyncFromTicket();
}

Choices QueuePaneSession::SyncToTicket() {
    Choices choices;
    if (!host_.IsShown() || host_.SyncToTicket() != noErr) return choices;
    for (const OptionText &option : answer_.options.texts) {
        const CFHolder<CFStringRef> key = MakeString(option.key);
        const auto value = static_cast<CFTypeRef>(CFDictionaryGetValue(session_->PPDDict(), key.get()));
        if (value != nullptr && CFGetTypeID(value) == CFStringGetTypeID()) {
            choices[option.key] = ToUTF8(static_cast<CFStringRef>(value));
        }
    }
    return choices;
}

void QueuePaneSession::TakeChoice(const std::string &key, const std::string &choice) {
    if (!host_.IsShown()) return;
    SetChoice(session_->PPDDict(), key, choice);
    host_.SyncFromTicket();
}

SummaryRows QueuePaneSession::Summary() {
    SummaryRows rows;
    CFHolder<CFArrayRef> titles;
    CFHolder<CFArrayRef> values;
    if (host_.CopySummary(titles, values) != noErr || !titles || !values) return rows;
    const CFIndex count = std::min(CFArrayGetCount(titles.get()), CFArrayGetCount(values.get()));
    for (CFIndex row = 0; row < count; ++row) rows.emplace_back(StringAt(titles.get(), row), StringAt(values.get(), row));
    return rows;
}

void QueuePaneSession::Dismiss(bool accepted) {
    host_.Dismiss(accepted ? dialog::DialogOutcome::Accepted : dialog::DialogOutcome::Canceled);
}

void SessionPane::TakeChoice(const std::string &key, const std::string &choice) {
    session_.TakeChoice(key, choice);
    Redraw();
}

void SessionPane::Redraw() {
    if (IsDrawn()) Draw(session_.Summary());
}

void SessionPane::Dismiss(bool accepted) {
    Undraw();
    session_.Dismiss(accepted);
}

}  // namespace kvx::print_dialogs
