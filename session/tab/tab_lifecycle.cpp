#include "session/tab/tab_lifecycle.hpp"

#include <iomanip>
#include <sstream>

#include "KVXHost.h"
#include "session/messages.hpp"
#include "session/tab/report.hpp"

namespace kvx::session {

TabLifecycle::TabLifecycle(TabToolkit &toolkit, QueueChecker &checker, MainLoopPoster postToMainLoop)
    : toolkit_(toolkit),
      checker_(checker),
      postToMainLoop_(std::move(postToMainLoop)),
      cancelled_(std::make_shared<std::atomic<bool>>(false)) {}

TabLifecycle::~TabLifecycle() {
    Destroy();
}

// The dialog has just built its option widgets for the printer from what
// the application handed it and from the queue's defaults: where the store
// holds the DIN from then on, it is reset at once, so that a Print pressed
// before the queue's check answered carries the digits the pane would
// start from, never an old DIN.
void TabLifecycle::OnPrinterSelected() {
    if (destroyed_) return;
    toolkit_.Options().Unbind(true);
    HideTab();
    const TabToolkit::SelectedPrinter printer = toolkit_.Selected();
    if (printer.cupsQueue.empty()) return SelectQueue({});
    if (toolkit_.Options().WhenDinIsReset() == DialogOptions::DinReset::OnPrinterSelected) {
        ResetDialogDIN(printer.cupsQueue);
    }
    SelectQueue(printer.cupsQueue);
}

// An application that shows its dialog again asks for a new print: the
// panes start over, so that nothing typed for the last job (the DIN above
// all) is carried into this one.
void TabLifecycle::OnShown() {
    if (destroyed_ || dialogShown_) return;
    dialogShown_ = true;
    toolkit_.Options().Unbind(true);
    DismissPanes();
    accepted_ = false;
    OnPrinterSelected();
}

void TabLifecycle::OnResponse(bool accepted) {
    accepted_ = accepted;
    if (shown_ != nullptr) {
        WriteChoicesToDialog();
    } else if (accepted && toolkit_.Options().WhenDinIsReset() == DialogOptions::DinReset::OnAcceptedWithoutPane) {
        ResetDialogDIN(selectedQueue_);
    }
}

// Last edit wins.
void TabLifecycle::OnOptionChanged(const std::string &key, const std::optional<std::string> &choice) {
    if (writing_ || shown_ == nullptr || !choice) return;
    shown_->session->TakeChoice(key, *choice);
    AfterModelChange();
}

void TabLifecycle::OnRunLoopTick() {
    if (KVXRunLoopRunOnce() > 0) AfterModelChange();
}

void TabLifecycle::AfterPaneAction() {
    KVXRunLoopRunOnce();
    AfterModelChange();
}

void TabLifecycle::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    *cancelled_ = true;
    toolkit_.Options().Unbind(false);
    toolkit_.StopRunLoopTimer();
    DismissPanes();
}

void TabLifecycle::ReportOnce(const std::string &subject, const std::string &message) {
    if (reported_.insert(subject).second) ReportProblem(message);
}

// A known answer is given at once, else the check starts.
void TabLifecycle::SelectQueue(const std::string &queue) {
    if (queue.empty()) {
        selectedQueue_.clear();
        return;
    }
    if (queue != selectedQueue_) selectedAt_ = std::chrono::steady_clock::now();
    selectedQueue_ = queue;
    if (const auto known = answers_.find(queue); known != answers_.end()) {
        if (known->second.paneApplies) ShowPane(known->second);
        return;
    }
    checker_.Check(queue, postToMainLoop_, cancelled_,
                   [this](const QueueAnswer &answer) { Guarded([&] { OnAnswer(answer); }); });
}

void TabLifecycle::OnAnswer(const QueueAnswer &answer) {
    if (!answer.failure.empty()) ReportOnce(answer.queue, answer.failure + "; no pane for " + answer.queue);
    if (!answer.paneApplies) {
        ReportMessage("no pane for " + answer.queue);
        return;
    }
    answers_[answer.queue] = answer;
    // An answer that comes after the person chose another printer waits
    // until that queue is chosen again.
    if (answer.queue == selectedQueue_) ShowPane(answer);
}

void TabLifecycle::ShowPane(const QueueAnswer &answer) {
    // GTK builds the option widgets once the printer's details are in, and
    // says so with another selection.
    if (!toolkit_.Selected().hasDetails) return;
    if (const std::string problem = toolkit_.Options().Bind(answer); !problem.empty()) {
        return ReportOnce(answer.queue, problem + "; no pane for it");
    }
    QueuePane &pane = panes_[answer.queue];
    if (!pane.session) {
        try {
            pane = MakePane(answer);
        } catch (...) {
            panes_.erase(answer.queue);
            answers_[answer.queue].paneApplies = false;  // asked once per dialog
            toolkit_.Options().Unbind(true);
            throw;
        }
    }
    shown_ = &pane;
    toolkit_.ShowInTab(*pane.content, pane.session->Title());
    toolkit_.StartRunLoopTimer();
    WriteChoicesToDialog();
    ReportTabShown(answer);
}

// What a new pane starts from: the dialog's choices and the PPD's defaults,
// as the DIN policy allows.
TabLifecycle::QueuePane TabLifecycle::MakePane(const QueueAnswer &answer) {
    const PaneOptions &options = answer.options;
    const Choices starting = DinPolicy::StartingChoices({
        .dialogChoice = [this](const std::string &key) { return toolkit_.Options().Choice(key); },
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
    QueuePane pane;
    pane.session = std::make_unique<PaneSession>(answer, checker_.PlugInsFolder(), starting);
    pane.content = toolkit_.MakeContent(*pane.session, [this] { AfterPaneAction(); });
    pane.content->Draw(pane.session->Summary());
    return pane;
}

void TabLifecycle::HideTab() {
    toolkit_.HideTab();
    toolkit_.StopRunLoopTimer();
    shown_ = nullptr;
}

void TabLifecycle::ResetDialogDIN(const std::string &queue) {
    const DinPolicy::ResetOutcome outcome = DinPolicy::Reset(toolkit_.Options());
    for (const std::string &key : outcome.refused) {
        ReportProblem("the print dialog offers no " + std::string(DinPolicy::kStartingDigit) + " for " + key +
                      "; it keeps its own choice");
    }
    if (outcome.heldAny) ReportMessage("the DIN of " + queue + " starts at 0 in the dialog");
}

void TabLifecycle::ReportTabShown(const QueueAnswer &answer) const {
    const std::chrono::duration<double, std::milli> sinceSelected = std::chrono::steady_clock::now() - selectedAt_;
    std::ostringstream shown;
    shown << std::fixed << std::setprecision(1) << "tab for " << answer.queue << " shown " << sinceSelected.count()
          << " ms after the printer was selected (the check took " << answer.checkMilliseconds << " ms)";
    ReportMessage(shown.str());
}

void TabLifecycle::AfterModelChange() {
    Guarded([&] {
        if (shown_ == nullptr) return;
        shown_->content->Draw(shown_->session->Summary());
        WriteChoicesToDialog();
    });
}

// The pane's choices reach the job only through the dialog's own store:
// the toolkit builds the job's settings from it.
void TabLifecycle::WriteChoicesToDialog() {
    const Choices choices = shown_->session->SyncToTicket();
    writing_ = true;
    for (const auto &[key, choice] : choices) {
        if (!toolkit_.Options().Set(key, choice)) {
            ReportOnce(selectedQueue_ + "/" + key, "the pane chose " + DinPolicy::Shown(key, choice) + " for " + key +
                                                       ", which the print dialog does not offer; it keeps its own");
        }
    }
    writing_ = false;
}

void TabLifecycle::DismissPanes() {
    for (auto &[queue, pane] : panes_) {
        pane.content.reset();
        pane.session->Dismiss(accepted_ && &pane == shown_);
    }
    shown_ = nullptr;
    panes_.clear();
}

}  // namespace kvx::session
