// Work that may wait on the print scheduler, done on a thread of its own and
// handed to the GTK main loop, so that the window never waits for a slow or
// silent scheduler.
#pragma once

#include <glib.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "dialog/cli/dialog_error.hpp"

namespace kvx::dialog {

template <typename Result>
class BackgroundTask {
public:
    // Called on the main loop once: the result, or else why there is none.
    using Delivery = std::function<void(std::optional<Result> result, std::string failure)>;

    // Starts `work`; GTK's main loop delivers what it gives or the
    // DialogError or SessionError it throws.
    BackgroundTask(std::function<Result()> work, Delivery deliver)
        : receiver_(std::make_shared<Receiver>(Receiver{std::move(deliver)})) {
        // Detached: a scheduler that never answers must not hold up the window's end.
        std::thread([work = std::move(work), receiver = receiver_] {
            auto outcome = std::make_unique<Outcome>(Outcome{receiver, std::nullopt, {}});
            try {
                outcome->result.emplace(work());
            } catch (const DialogError &error) {
                outcome->failure = error.what();
            } catch (const session::SessionError &error) {
                outcome->failure = error.what();
            }
            g_idle_add_full(G_PRIORITY_DEFAULT, Deliver, outcome.release(), Destroy);
        }).detach();
    }
    // Nothing is delivered after this; work still waiting for the scheduler
    // finishes on its own and is thrown away.
    ~BackgroundTask() { receiver_->deliver = nullptr; }
    BackgroundTask(const BackgroundTask &) = delete;
    BackgroundTask &operator=(const BackgroundTask &) = delete;

private:
    // Lives as long as the window wants the result or the work runs; both
    // touch `deliver` on the main loop only.
    struct Receiver {
        Delivery deliver;
    };
    struct Outcome {
        std::shared_ptr<Receiver> receiver;
        std::optional<Result> result;
        std::string failure;
    };

    static gboolean Deliver(gpointer data) {
        Outcome &outcome = *static_cast<Outcome *>(data);
        if (outcome.receiver->deliver) outcome.receiver->deliver(std::move(outcome.result), std::move(outcome.failure));
        return G_SOURCE_REMOVE;
    }
    static void Destroy(gpointer data) { std::unique_ptr<Outcome>(static_cast<Outcome *>(data)).reset(); }

    std::shared_ptr<Receiver> receiver_;
};

}  // namespace kvx::dialog
