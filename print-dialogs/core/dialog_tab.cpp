#include "dialog_tab.hpp"

#include <algorithm>

#include "KVXHost.h"
#include "cli/messages.hpp"
#include "report.hpp"

namespace kvx::print_dialogs {

DialogTab::DialogTab(std::string plugInsFolder, MainLoopPoster postToMainLoop)
    : plugInsFolder_(std::move(plugInsFolder)),
      flow_(plugInsFolder_, std::move(postToMainLoop), [this](const QueueAnswer &answer) { ShowPane(answer); }) {}

// The dialog has just built the option widgets for the printer from what
// the application handed it and from the queue's defaults: the DIN is reset
// there at once, so that a Print pressed before the queue's check answered
// carries the digits the pane would start from, never an old DIN.
void DialogTab::OnPrinterSelected() {
    if (destroyed_) return;
    Unbind(true);
    HideTab();
    shownPane_ = nullptr;
    const SelectedPrinter printer = Selected();
    if (printer.cupsQueue.empty()) return flow_.SelectQueue({});
    if (ResetDialogDIN()) dialog::ReportMessage("the DIN of " + printer.cupsQueue + " starts at 0 in the dialog");
    flow_.SelectQueue(printer.cupsQueue);
}

// An application that shows its dialog again asks for a new print: the
// panes start over, so that nothing typed for the last job (the DIN above
// all) is carried into this one.
void DialogTab::OnShown() {
    if (destroyed_ || shown_) return;
    shown_ = true;
    Unbind(true);
    DismissPanes();
    accepted_ = false;
    OnPrinterSelected();
}

void DialogTab::OnResponse(bool accepted) {
    accepted_ = accepted;
    if (shownPane_ != nullptr) WriteChoicesToDialog();
}

// Last edit wins.
void DialogTab::OnOptionChanged(const std::string &key, const std::optional<std::string> &choice) {
    if (writing_ || shownPane_ == nullptr || !choice) return;
    shownPane_->TakeChoice(key, *choice);
    AfterModelChange();
}

void DialogTab::OnRunLoopTick() {
    if (KVXRunLoopRunOnce() > 0) AfterModelChange();
}

void DialogTab::AfterPaneAction() {
    KVXRunLoopRunOnce();
    AfterModelChange();
}

void DialogTab::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    flow_.Cancel();
    Unbind(false);
    DismissPanes();
}

void DialogTab::ShowPane(const QueueAnswer &answer) {
    // The dialog builds the option widgets once the printer's details are
    // in, and says so with another selection.
    if (!Selected().hasDetails) return;
    if (!BindOptions(answer)) return;
    auto &pane = panes_[answer.queue];
    if (!pane) {
        try {
            pane = MakePane(answer, plugInsFolder_,
                            StartingChoicesFor(answer, [this](const std::string &key) { return OptionChoice(key); }));
        } catch (...) {
            panes_.erase(answer.queue);
            flow_.PaneFailed(answer.queue);  // asked once per dialog
            Unbind(true);
            throw;
        }
    }
    shownPane_ = pane.get();
    ShowInTab(*shownPane_);
    WriteChoicesToDialog();
    flow_.ReportTabShown(answer);
}

// Binds the dialog's option for each of the pane's keys; false when one is
// missing, since then a value could not reach the job.
bool DialogTab::BindOptions(const QueueAnswer &answer) {
    const std::vector<std::string> labels = OptionLabels();
    const auto matched = MatchPaneKeys(flow_, answer, labels);
    if (!matched) return false;
    for (const auto &[key, index] : *matched) {
        BindOption(key, index);
        boundKeys_.push_back(key);
    }
    return true;
}

void DialogTab::Unbind(bool restoreHidden) {
    UnbindOptions(restoreHidden);
    boundKeys_.clear();
}

void DialogTab::AfterModelChange() {
    Guarded([&] {
        if (shownPane_ == nullptr) return;
        shownPane_->Redraw();
        WriteChoicesToDialog();
    });
}

// The pane's choices reach the job only through the dialog's own options:
// the toolkit builds the job's settings from them.
void DialogTab::WriteChoicesToDialog() {
    const Choices choices = shownPane_->SyncToTicket();
    writing_ = true;
    for (const std::string &key : boundKeys_) {
        const auto choice = choices.find(key);
        if (choice != choices.end() && !ChooseOption(key, choice->second)) {
            flow_.ReportOnce(SelectedQueue() + "/" + key, "the pane chose " + choice->second + " for " + key +
                                                              ", which the print dialog does not offer; it keeps its own");
        }
    }
    writing_ = false;
}

void DialogTab::DismissPanes() {
    for (auto &[queue, pane] : panes_) pane->Dismiss(accepted_ && pane.get() == shownPane_);
    shownPane_ = nullptr;
    panes_.clear();
}

}  // namespace kvx::print_dialogs
