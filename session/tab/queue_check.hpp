// Whether the pane applies to a CUPS queue, worked out off the main loop:
// the queue's PPD is fetched and the plug-in itself is asked, loaded by its
// registration into a print session bound to that PPD. Answers are kept per
// queue for as long as the queue's PPD stays the same. Each check runs on a
// thread of its own; its answer comes back on the toolkit's main loop.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "session/cups/ppd_fetch.hpp"
#include "session/options/pane_options.hpp"

namespace kvx::session {

struct QueueAnswer {
    std::string queue;
    std::shared_ptr<const FetchedPPD> ppd;  // null when none was fetched
    bool paneApplies = false;
    std::string paneTitle;
    PaneOptions options;
    double checkMilliseconds = 0;  // fetching and asking, off the main loop
    // Why nothing is shown when that is a fault (a bundle that does not
    // load, a scheduler that does not answer); empty for another model.
    std::string failure;
};

// Runs a piece of work on the toolkit's main loop; callable from any thread.
using MainLoopPoster = std::function<void(std::function<void()> work)>;

// Where a check gets a queue's PPD, on its own thread: null when the queue
// has none; a SessionError when it cannot be had.
using PPDSource = std::function<std::shared_ptr<const FetchedPPD>(const std::string &queue)>;

// The scheduler's PPD of the queue, each fetch on a connection of its own.
PPDSource SchedulerPPDs();

// Set by the dialog that asked when it goes; read on the main loop.
using CheckCancellation = std::shared_ptr<std::atomic<bool>>;

class QueueChecker {
public:
    QueueChecker(std::string plugInsFolder, PPDSource ppds);
    QueueChecker(const QueueChecker &) = delete;
    QueueChecker &operator=(const QueueChecker &) = delete;

    const std::string &PlugInsFolder() const { return plugInsFolder_; }

    // Calls done on the main loop with the answer for the queue, unless
    // cancelled first. Call on the main loop, where the answers are kept.
    void Check(const std::string &queue, const MainLoopPoster &postToMainLoop, CheckCancellation cancelled,
               std::function<void(const QueueAnswer &)> done);

private:
    using Answers = std::map<std::string, QueueAnswer>;

    std::string plugInsFolder_;
    PPDSource ppds_;
    // Shared with the checks under way, which may answer after the checker went.
    std::shared_ptr<Answers> known_ = std::make_shared<Answers>();
};

}  // namespace kvx::session
