// The window's summary: the pane's rows of title and value, as the dialog's
// summary pane lists them.
#pragma once

#include <gtk/gtk.h>

#include "session/printing/pane_host.hpp"

namespace kvx::dialog {

class SummaryView {
public:
    SummaryView();
    ~SummaryView();
    SummaryView(const SummaryView &) = delete;
    SummaryView &operator=(const SummaryView &) = delete;

    // The framed table, owned by the window it is put in.
    GtkWidget *Widget() const { return frame_; }
    void Show(const session::SummaryRows &rows);

private:
    GtkListStore *rows_;
    GtkWidget *frame_;
};

}  // namespace kvx::dialog
