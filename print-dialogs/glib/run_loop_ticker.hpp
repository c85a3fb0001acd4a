// The host's timers fire only when its run loop turns, as they would in the
// original platform's event loop: while a pane is shown, GLib's main loop
// calls back this often, and the callback turns the host's loop.
#pragma once

#include <glib.h>

#include <functional>

namespace kvx::gtk_print {

class RunLoopTicker {
public:
    explicit RunLoopTicker(std::function<void()> tick) : tick_(std::move(tick)) {}
    ~RunLoopTicker() { Stop(); }
    RunLoopTicker(const RunLoopTicker &) = delete;
    RunLoopTicker &operator=(const RunLoopTicker &) = delete;

    void Start();
    void Stop();

private:
    static gboolean Tick(gpointer ticker);

    std::function<void()> tick_;
    guint source_ = 0;
};

}  // namespace kvx::gtk_print
