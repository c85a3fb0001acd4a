// The pane for one Korvane queue inside one GTK 4 print dialog: the queue's
// pane session (core/queue_pane_session.hpp) drawn by the GTK 4 pane view,
// with its summary rows underneath.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

#include "core/dialog_tab.hpp"
#include "core/queue_pane_session.hpp"
#include "gtk4/pane-view/pane_view.hpp"

namespace kvx::gtk_module {

class QueuePane final : public print_dialogs::TabPane {
public:
    // Loads the pane for the queue, starts it from `starting` and draws it;
    // afterAction runs after each of the person's actions in the pane.
    // Throws std::exception when the pane cannot be shown.
    QueuePane(const print_dialogs::QueueAnswer &answer, const std::string &plugInsFolder,
              const print_dialogs::Choices &starting, std::function<void()> afterAction);
    ~QueuePane() override;
    QueuePane(const QueuePane &) = delete;
    QueuePane &operator=(const QueuePane &) = delete;

    // The pane and its summary, one widget.
    GtkWidget *Widget() const { return box_; }
    const std::string &Title() const override { return session_.Title(); }
    print_dialogs::Choices SyncToTicket() override { return session_.SyncToTicket(); }
    void TakeChoice(const std::string &key, const std::string &choice) override;
    void Redraw() override;
    void Dismiss(bool accepted) override;

private:
    void RedrawSummary();

    print_dialogs::QueuePaneSession session_;
    GtkWidget *box_;
    GtkWidget *summary_;
    std::unique_ptr<PaneView> view_;
};

}  // namespace kvx::gtk_module
