// Whether the pane applies to a CUPS queue, worked out off the main loop:
// the queue's PPD is fetched and the plug-in itself is asked, loaded by its
// registration into a print session bound to that PPD. A queue the pane
// does not serve by its own PPD (a driverless or cups-browsed queue has a
// generated one) but that forwards to a CUPS queue on another scheduler is
// asked about by that queue's PPD. The plug-in's answers are kept per queue
// for as long as the PPD stays the same. Each check runs on a thread of its
// own; its answer comes back on the toolkit's main loop.
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
    // The PPD the answer is for, the queue's own or its origin's (see
    // FetchedPPD::forwardedTo); null when none was fetched.
    std::shared_ptr<const FetchedPPD> ppd;
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

// Where a check gets a queue's PPDs, on its own thread: null when there is
// none; a SessionError when it cannot be had.
struct PPDSource {
    // The queue's own.
    std::function<std::shared_ptr<const FetchedPPD>(const std::string &queue)> own;
    // That of the queue it forwards to on another scheduler, given its own.
    std::function<std::shared_ptr<const FetchedPPD>(const std::string &queue, const FetchedPPD *own)> origin;
};

// The scheduler's PPDs of the queue, each fetch on connections of its own.
PPDSource SchedulerPPDs();

// The plug-in's own verdict on a PPD, as kvx-dialog asks it: a print
// session bound to it and the bundles of the folder loaded into it.
struct PaneVerdict {
    bool shown = false;
    std::string title;
    // Why it is not shown when that is a fault; empty when the plug-in declines.
    std::string failure;
};
PaneVerdict AskPlugIn(const std::shared_ptr<const FetchedPPD> &ppd, const std::string &plugInsFolder);

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
