// The pane for one Korvane queue, without its widgets: a host print session
// bound to the queue's PPD, started from the dialog's choices, the
// plug-in's pane in it, and what a view shows of it (the window the pane
// draws in, the summary's rows). Each toolkit's tab keeps one per queue for
// as long as its dialog lives, so that what the person typed survives a
// visit to another printer.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialog_tab.hpp"
#include "pane/pane_host.hpp"
#include "pane/print_session.hpp"
#include "queue_check.hpp"

namespace kvx::print_dialogs {

using SummaryRows = std::vector<std::pair<std::string, std::string>>;

class QueuePaneSession {
public:
    // Loads the pane for the queue and starts it from `starting`. Throws
    // std::exception when the pane cannot be shown.
    QueuePaneSession(const QueueAnswer &answer, const std::string &plugInsFolder, const Choices &starting);
    QueuePaneSession(const QueuePaneSession &) = delete;
    QueuePaneSession &operator=(const QueuePaneSession &) = delete;

    WindowRef PaneWindow() const { return host_.DialogWindow(); }
    const std::string &Title() const { return host_.PaneTitle(); }

    // Syncs the pane to its ticket and gives its choice for each of its keys.
    Choices SyncToTicket();
    // A choice made outside the pane (in a generic widget): the pane takes it.
    void TakeChoice(const std::string &key, const std::string &choice);
    // The summary's rows as the pane gives them: title and value.
    SummaryRows Summary();
    // Terminates the pane; accepted when the dialog printed.
    void Dismiss(bool accepted);

private:
    QueueAnswer answer_;  // first: its PPD file outlives the session bound to it
    std::unique_ptr<dialog::PrintSession> session_;
    dialog::PaneHost host_;
};

// A tab's pane over a queue's session: what it shows comes from the
// session, and the toolkit's pane only draws it.
class SessionPane : public TabPane {
public:
    const std::string &Title() const override { return session_.Title(); }
    Choices SyncToTicket() override { return session_.SyncToTicket(); }
    void TakeChoice(const std::string &key, const std::string &choice) override;
    void Redraw() override;
    void Dismiss(bool accepted) override;

protected:
    SessionPane(const QueueAnswer &answer, const std::string &plugInsFolder, const Choices &starting)
        : session_(answer, plugInsFolder, starting) {}
    WindowRef PaneWindow() const { return session_.PaneWindow(); }

    // Whether the pane's widgets are there, drawing them with the summary's
    // rows, and letting them go before the pane is terminated.
    virtual bool IsDrawn() const = 0;
    virtual void Draw(const SummaryRows &summary) = 0;
    virtual void Undraw() = 0;

private:
    QueuePaneSession session_;
};

}  // namespace kvx::print_dialogs
