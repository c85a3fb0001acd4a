#include "print-dialogs/glib/run_loop_ticker.hpp"

#include <utility>

#include "session/tab/tab_toolkit.hpp"

namespace kvx::gtk_print {

void RunLoopTicker::Start() {
    if (source_ == 0) source_ = g_timeout_add(session::kRunLoopTickMilliseconds, Tick, this);
}

void RunLoopTicker::Stop() {
    if (source_ != 0) g_source_remove(std::exchange(source_, 0));
}

gboolean RunLoopTicker::Tick(gpointer ticker) {
    static_cast<RunLoopTicker *>(ticker)->tick_();
    return G_SOURCE_CONTINUE;
}

}  // namespace kvx::gtk_print
