#include "session/tab/queue_check.hpp"

#include <chrono>
#include <thread>

#include "session/printing/pane_host.hpp"
#include "session/printing/print_session.hpp"

namespace kvx::session {
namespace {

// What the pane says when its plug-in declines a printer; anything else
// that keeps the pane away is a fault worth a line.
constexpr std::string_view kDeclinedReason = "the pane is not shown for this printer";

// The plug-in's own answer, as kvx-dialog asks it.
void AskPlugIn(const std::string &plugInsFolder, QueueAnswer &answer) {
    const PrintSession session(answer.ppd);
    PaneHost host(plugInsFolder, session);
    answer.paneApplies = host.IsShown();
    answer.paneTitle = host.PaneTitle();
    if (!answer.paneApplies && !host.NotShownReason().starts_with(kDeclinedReason)) {
        answer.failure = host.NotShownReason();
    }
}

struct Job {
    std::string queue;
    std::string plugInsFolder;
    PPDSource ppds;
    QueueAnswer known;  // the last answer for the queue; its PPD may be the same
    QueueAnswer answer;
};

void RunJob(Job &job) {
    QueueAnswer &answer = job.answer;
    answer.queue = job.queue;
    const auto started = std::chrono::steady_clock::now();
    try {
        std::shared_ptr<const FetchedPPD> ppd = job.ppds(job.queue);
        if (ppd && job.known.ppd && job.known.ppd->bytes() == ppd->bytes()) {
            answer = job.known;
        } else if (ppd) {
            answer.ppd = std::move(ppd);
            AskPlugIn(job.plugInsFolder, answer);
            if (answer.paneApplies) answer.options = ReadPaneOptions(answer.ppd->path());
        }
    } catch (const std::exception &error) {
        answer.paneApplies = false;
        answer.failure = error.what();
    }
    answer.checkMilliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
}

}  // namespace

PPDSource SchedulerPPDs() {
    return [](const std::string &queue) {
        const SchedulerConnection scheduler;
        return FetchPPD(scheduler, queue);
    };
}

QueueChecker::QueueChecker(std::string plugInsFolder, PPDSource ppds)
    : plugInsFolder_(std::move(plugInsFolder)), ppds_(std::move(ppds)) {}

void QueueChecker::Check(const std::string &queue, const MainLoopPoster &postToMainLoop, CheckCancellation cancelled,
                         std::function<void(const QueueAnswer &)> done) {
    auto job = std::make_shared<Job>(Job{queue, plugInsFolder_, ppds_, {}, {}});
    if (const auto known = known_->find(queue); known != known_->end()) job->known = known->second;
    std::thread([job, postToMainLoop, known = known_, cancelled = std::move(cancelled), done = std::move(done)] {
        RunJob(*job);
        postToMainLoop([job, known, cancelled, done] {
            // A failed fetch keeps what was known; anything else is the queue's answer now.
            if (job->answer.ppd || job->answer.failure.empty()) (*known)[job->queue] = job->answer;
            if (!*cancelled) done(job->answer);
        });
    }).detach();
}

}  // namespace kvx::session
