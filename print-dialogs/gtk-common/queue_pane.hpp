// The pane for one Korvane queue inside one print dialog, declared once for
// both GTK versions: the queue's session pane (core/queue_pane_session.hpp)
// drawn by the pane view, with its summary rows underneath
// (gtk3/module/queue_pane.cpp, gtk4/module/queue_pane.cpp).
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

#include "core/queue_pane_session.hpp"
#include "gtk-common/pane_view.hpp"

namespace kvx::gtk_module {

using dialog::PaneView;

class QueuePane final : public print_dialogs::SessionPane {
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

private:
    bool IsDrawn() const override { return view_ != nullptr; }
    void Draw(const print_dialogs::SummaryRows &summary) override;
    void Undraw() override;

    GtkWidget *box_;
    GtkWidget *summary_;
    std::unique_ptr<PaneView> view_;
};

}  // namespace kvx::gtk_module
