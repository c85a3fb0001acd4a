// What --gui-trace reports on stdout as the window changes, one JSON line
// each, for a test (or a person) following the window: the printer
// chooser's entries, the pane's controls after each action, and the
// window's size and the pane's place once they are laid out anew.
#pragma once

#include <gtk/gtk.h>

#include <optional>
#include <vector>

#include "Carbon.h"
#include "dialog/window/printer_choices.hpp"

namespace kvx::dialog {

class WindowTrace {
public:
    explicit WindowTrace(bool enabled) : enabled_(enabled) {}

    void Printers(const std::vector<PrinterChoice> &choices, size_t chosen) const;
    void Controls(WindowRef paneWindow) const;
    // Once for each new size or pane position; pane: null when none is shown.
    void Layout(GtkWidget *window, GtkWidget *pane);
    // The next layout is reported whatever it is.
    void Forget() { reported_.reset(); }

private:
    struct Placement {
        gint width;
        gint height;
        bool paneShown;
        gint paneX;
        gint paneY;
        bool operator==(const Placement &) const = default;
    };

    bool enabled_;
    std::optional<Placement> reported_;
};

}  // namespace kvx::dialog
