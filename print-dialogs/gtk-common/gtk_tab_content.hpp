// What the GTK tab shows for one Korvane queue, declared once for both GTK
// versions: the queue's pane session drawn by the pane view, with the
// summary's rows underneath (gtk3/gtk3_tab_content.cpp,
// gtk4/gtk4_tab_content.cpp).
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>

#include "print-dialogs/gtk-common/gtk_pane_view.hpp"
#include "session/tab/pane_session.hpp"
#include "session/tab/tab_toolkit.hpp"

namespace kvx::gtk_print {

class GtkTabContent final : public session::TabContent {
public:
    // afterAction runs after each of the person's actions in the pane.
    GtkTabContent(session::PaneSession &session, std::function<void()> afterAction);
    ~GtkTabContent() override;
    GtkTabContent(const GtkTabContent &) = delete;
    GtkTabContent &operator=(const GtkTabContent &) = delete;

    // The pane and its summary, one widget.
    GtkWidget *Widget() const { return box_; }
    void Draw(const session::SummaryRows &summary) override;

private:
    GtkWidget *box_;
    GtkWidget *summary_;
    std::unique_ptr<GtkPaneView> view_;
};

}  // namespace kvx::gtk_print
