// The pane for one Korvane queue inside another program's print dialog,
// without its widgets: a print session bound to the queue's PPD, started
// from the dialog's choices, with the plug-in's pane shown in it. A
// toolkit's view draws the pane's window and its summary; the tab's
// lifecycle keeps one per queue for as long as its dialog lives, so that
// what the person typed survives a visit to another printer.
#pragma once

#include <memory>
#include <string>

#include "session/options/din_policy.hpp"
#include "session/printing/pane_host.hpp"
#include "session/printing/print_session.hpp"
#include "session/tab/queue_check.hpp"

namespace kvx::session {

class PaneSession {
public:
    // Loads the pane for the queue and starts it from `starting`. Throws
    // std::exception when the pane cannot be shown.
    PaneSession(const QueueAnswer &answer, const std::string &plugInsFolder, const Choices &starting);
    PaneSession(const PaneSession &) = delete;
    PaneSession &operator=(const PaneSession &) = delete;

    WindowRef PaneWindow() const { return host_.DialogWindow(); }
    const std::string &Title() const { return host_.PaneTitle(); }

    // Syncs the pane to its ticket and gives its choice for each of its keys.
    Choices SyncToTicket();
    // A choice made outside the pane (in the dialog's own widget): the pane takes it.
    void TakeChoice(const std::string &key, const std::string &choice);
    SummaryRows Summary() { return host_.Summary(); }
    // Terminates the pane; accepted when the dialog printed.
    void Dismiss(bool accepted);

private:
    QueueAnswer answer_;  // first: its PPD file outlives the session bound to it
    PrintSession session_;
    PaneHost host_;
};

}  // namespace kvx::session
