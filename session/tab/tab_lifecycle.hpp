// The pane's tab in one print dialog of another program, whatever its
// toolkit: which queue is selected, the plug-in's answer for it (asked off
// the main loop, once per queue and dialog; a pane that failed is not asked
// for again), the pane of each Korvane queue kept while the dialog lives,
// what a new pane starts from, how its values reach the dialog's own store
// and a change made there reaches the pane, the DIN reset, a new start when
// the dialog is shown again, and the dismissal of every pane when it goes.
// A toolkit supplies only widgets and signals (tab_toolkit.hpp) and calls
// the On... functions as its signals come.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "session/tab/pane_session.hpp"
#include "session/tab/queue_check.hpp"
#include "session/tab/tab_toolkit.hpp"

namespace kvx::session {

class TabLifecycle {
public:
    // The toolkit outlives the lifecycle; the checker is the process's.
    TabLifecycle(TabToolkit &toolkit, QueueChecker &checker, MainLoopPoster postToMainLoop);
    ~TabLifecycle();
    TabLifecycle(const TabLifecycle &) = delete;
    TabLifecycle &operator=(const TabLifecycle &) = delete;

    // The dialog selected a printer (or has built its option widgets).
    void OnPrinterSelected();
    // The dialog was shown; after a hide, the application asks for a new
    // print. A show without a hide before it is the first show seen twice.
    void OnShown();
    void OnHidden() { dialogShown_ = false; }
    // The dialog answers: the pane's values go into the dialog's store
    // before anyone reads it.
    void OnResponse(bool accepted);
    // Someone changed the dialog's option for a pane key: the pane follows.
    void OnOptionChanged(const std::string &key, const std::optional<std::string> &choice);
    // The toolkit's timer: the host's timers fire, the pane may have changed.
    void OnRunLoopTick();
    // After each of the person's actions in the pane.
    void AfterPaneAction();
    // The dialog goes: every pane is dismissed, no answer reaches it any more.
    void Destroy();

    const std::string &SelectedQueue() const { return selectedQueue_; }
    bool PaneShown() const { return shown_ != nullptr; }
    // A fault of this dialog, said once per subject.
    void ReportOnce(const std::string &subject, const std::string &message);

private:
    struct QueuePane {
        std::unique_ptr<PaneSession> session;
        std::unique_ptr<TabContent> content;  // goes before the session it shows
    };

    void SelectQueue(const std::string &queue);
    void OnAnswer(const QueueAnswer &answer);
    void ShowPane(const QueueAnswer &answer);
    QueuePane MakePane(const QueueAnswer &answer);
    void HideTab();
    void ResetDialogDIN(const std::string &queue);
    void ReportTabShown(const QueueAnswer &answer) const;
    void AfterModelChange();
    void WriteChoicesToDialog();
    void DismissPanes();

    TabToolkit &toolkit_;
    QueueChecker &checker_;
    MainLoopPoster postToMainLoop_;
    CheckCancellation cancelled_;
    std::string selectedQueue_;
    std::chrono::steady_clock::time_point selectedAt_;
    std::map<std::string, QueueAnswer> answers_;  // the queues the pane applies to, as far as known
    std::set<std::string> reported_;
    std::map<std::string, QueuePane> panes_;
    QueuePane *shown_ = nullptr;
    bool dialogShown_ = true;  // false from a hide until the next show
    bool writing_ = false;
    bool accepted_ = false;
    bool destroyed_ = false;
};

}  // namespace kvx::session
