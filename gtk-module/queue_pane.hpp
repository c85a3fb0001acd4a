// The pane for one Korvane queue inside one print dialog: a host print
// session bound to the queue's PPD, the plug-in's pane in it, that pane drawn
// by the shared pane view, and its summary rows underneath. It lives as long
// as the dialog, so that what the person typed survives a visit to another
// printer.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "pane/pane_host.hpp"
#include "pane/print_session.hpp"
#include "queue_check.hpp"
#include "window/pane-view/pane_view.hpp"

namespace kvx::gtk_module {

using Choices = std::map<std::string, std::string>;

class QueuePane {
public:
    // Loads the pane for the queue, starts it from `starting` and draws it;
    // afterAction runs after each of the person's actions in the pane.
    // Throws std::exception when the pane cannot be shown.
    QueuePane(const QueueAnswer &answer, const std::string &plugInsFolder, const Choices &starting,
              std::function<void()> afterAction);
    ~QueuePane();
    QueuePane(const QueuePane &) = delete;
    QueuePane &operator=(const QueuePane &) = delete;

    // The pane and its summary, one widget.
    GtkWidget *Widget() const { return box_; }
    const std::string &Title() const { return host_.PaneTitle(); }
    const QueueAnswer &Answer() const { return answer_; }

    // Syncs the pane to its ticket and gives its choice for each of its keys.
    Choices SyncToTicket();
    // A choice made outside the pane (in a generic widget): the pane takes it.
    void TakeChoice(const std::string &key, const std::string &choice);
    // Redraws the pane and its summary from the host's model.
    void Redraw();
    // Closes and terminates the pane; accepted when the dialog printed.
    void Dismiss(bool accepted);

private:
    void RedrawSummary();

    QueueAnswer answer_;  // first: its PPD file outlives the session bound to it
    std::unique_ptr<dialog::PrintSession> session_;
    dialog::PaneHost host_;
    GtkWidget *box_;
    GtkWidget *summary_;
    std::unique_ptr<dialog::PaneView> view_;
};

}  // namespace kvx::gtk_module
