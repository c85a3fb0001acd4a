// What happens in one print dialog as the person picks printers, whatever
// the toolkit: which queue is selected, the plug-in's answer for it (asked
// once per queue and dialog, off the main loop), when the pane applies, and
// the dialog's faults said once each. The toolkit's tab only draws: it
// tells the flow which queue was selected and shows the pane when told.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>

#include "option_matching.hpp"
#include "queue_check.hpp"

namespace kvx::print_dialogs {

class PrintDialogFlow {
public:
    // paneApplies runs on the main loop with the answer for the selected
    // queue once it is known that the pane applies to it.
    using PaneApplies = std::function<void(const QueueAnswer &answer)>;
    PrintDialogFlow(std::string plugInsFolder, MainLoopPoster postToMainLoop, PaneApplies paneApplies);
    ~PrintDialogFlow();
    PrintDialogFlow(const PrintDialogFlow &) = delete;
    PrintDialogFlow &operator=(const PrintDialogFlow &) = delete;

    // A printer was selected: a CUPS queue by its name, or another printer
    // (empty). A known answer is given at once, else the check starts.
    void SelectQueue(const std::string &queue);
    const std::string &SelectedQueue() const { return selectedQueue_; }
    // The queue's pane is on show: when, from the selection, and how long its check took.
    void ReportTabShown(const QueueAnswer &answer) const;
    // The pane could not be shown for the queue: not asked again in this dialog.
    void PaneFailed(const std::string &queue);
    // The dialog goes: no answer reaches it any more.
    void Cancel();

    // A fault, said once per subject in this dialog.
    void ReportOnce(const std::string &subject, const std::string &message);

private:
    void OnAnswer(const QueueAnswer &answer);

    std::string plugInsFolder_;
    MainLoopPoster postToMainLoop_;
    PaneApplies paneApplies_;
    CheckCancellation cancelled_;
    std::string selectedQueue_;
    std::chrono::steady_clock::time_point selectedAt_;
    std::map<std::string, QueueAnswer> answers_;  // the queues the pane applies to
    std::set<std::string> reported_;
};

// What a new pane starts from (StartingChoices) given the dialog's current
// choice for a key and what the queue's PPD says.
Choices StartingChoicesFor(const QueueAnswer &answer,
                           const std::function<std::optional<std::string>(const std::string &key)> &dialogChoice);

// The dialog's generic option for each pane key, by the options' labels;
// none (and a line once) when one key has no single widget, since then a
// value could not reach the job.
std::optional<std::map<std::string, size_t>> MatchPaneKeys(PrintDialogFlow &flow, const QueueAnswer &answer,
                                                            std::span<const std::string> labels);

}  // namespace kvx::print_dialogs
