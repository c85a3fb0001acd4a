#include "dialog_flow.hpp"

#include <algorithm>
#include <atomic>
#include <iomanip>
#include <memory>
#include <sstream>

#include "cli/messages.hpp"
#include "report.hpp"

namespace kvx::print_dialogs {

PrintDialogFlow::PrintDialogFlow(std::string plugInsFolder, MainLoopPoster postToMainLoop, PaneApplies paneApplies)
    : plugInsFolder_(std::move(plugInsFolder)),
      postToMainLoop_(std::move(postToMainLoop)),
      paneApplies_(std::move(paneApplies)),
      cancelled_(std::make_shared<std::atomic<bool>>(false)) {}

PrintDialogFlow::~PrintDialogFlow() {
    Cancel();
}

void PrintDialogFlow::SelectQueue(const std::string &queue) {
    if (queue.empty()) {
        selectedQueue_.clear();
        return;
    }
    if (queue != selectedQueue_) selectedAt_ = std::chrono::steady_clock::now();
    selectedQueue_ = queue;
    if (const auto known = answers_.find(queue); known != answers_.end()) {
        if (known->second.paneApplies) paneApplies_(known->second);
        return;
    }
    CheckQueue(queue, plugInsFolder_, postToMainLoop_, cancelled_, [this](const QueueAnswer &answer) {
        Guarded([&] { OnAnswer(answer); });
    });
}

void PrintDialogFlow::ReportTabShown(const QueueAnswer &answer) const {
    const std::chrono::duration<double, std::milli> sinceSelected = std::chrono::steady_clock::now() - selectedAt_;
    std::ostringstream shown;
    shown << std::fixed << std::setprecision(1) << "tab for " << answer.queue << " shown " << sinceSelected.count()
          << " ms after the printer was selected (the check took " << answer.checkMilliseconds << " ms)";
    dialog::ReportMessage(shown.str());
}

void PrintDialogFlow::PaneFailed(const std::string &queue) {
    answers_[queue].paneApplies = false;
}

void PrintDialogFlow::Cancel() {
    *cancelled_ = true;
}

void PrintDialogFlow::ReportOnce(const std::string &subject, const std::string &message) {
    if (reported_.insert(subject).second) ReportProblem(message);
}

void PrintDialogFlow::OnAnswer(const QueueAnswer &answer) {
    if (!answer.failure.empty()) ReportOnce(answer.queue, answer.failure + "; no pane for " + answer.queue);
    if (!answer.paneApplies) {
        dialog::ReportMessage("no pane for " + answer.queue);
        return;
    }
    answers_[answer.queue] = answer;
    if (answer.queue == selectedQueue_) paneApplies_(answer);
}

Choices StartingChoicesFor(const QueueAnswer &answer,
                           const std::function<std::optional<std::string>(const std::string &key)> &dialogChoice) {
    const PaneOptions &options = answer.options;
    return StartingChoices({
        .dialogChoice = dialogChoice,
        .ppdDefault =
            [&](const std::string &key) {
                const auto found = options.defaults.find(key);
                return found != options.defaults.end() ? std::optional(found->second) : std::nullopt;
            },
        .ppdOffers =
            [&](const std::string &key, const std::string &choice) {
                const auto found = options.choices.find(key);
                return found != options.choices.end() && found->second.contains(choice);
            },
    });
}

std::optional<std::map<std::string, size_t>> MatchPaneKeys(PrintDialogFlow &flow, const QueueAnswer &answer,
                                                            std::span<const std::string> labels) {
    const OptionMatch match = MatchOptionLabels(answer.options.texts, labels);
    if (!match.unmatchedKeys.empty()) {
        flow.ReportOnce(answer.queue, "the print dialog shows no single option widget for " +
                                          match.unmatchedKeys.front() + " of " + answer.queue + "; no pane for it");
        return std::nullopt;
    }
    return match.labelOfKey;
}

}  // namespace kvx::print_dialogs
