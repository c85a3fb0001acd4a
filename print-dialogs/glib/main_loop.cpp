#include "print-dialogs/glib/main_loop.hpp"

#include <glib.h>

#include <memory>
#include <string_view>

#include "KVXHost.h"
#include "session/messages.hpp"

namespace kvx::gtk_print {
namespace {

using Work = std::function<void()>;

gboolean RunPosted(gpointer work) {
    (*static_cast<Work *>(work))();
    return G_SOURCE_REMOVE;
}

void ShowInDebugLog(const char *text) {
    g_debug("%s", text);
}

void MessageInDebugLog(std::string_view message) {
    g_debug("%.*s", static_cast<int>(message.size()), message.data());
}

}  // namespace

void PostToGLibMainLoop(Work work) {
    g_idle_add_full(G_PRIORITY_DEFAULT, RunPosted, std::make_unique<Work>(std::move(work)).release(),
                    [](gpointer posted) { std::unique_ptr<Work>(static_cast<Work *>(posted)); });
}

void SendMessagesToDebugLog() {
    KVXHostSetShowSink(ShowInDebugLog);
    session::SetMessageSink(MessageInDebugLog);
}

}  // namespace kvx::gtk_print
