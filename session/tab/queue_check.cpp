#include "session/tab/queue_check.hpp"

#include <chrono>
#include <thread>

#include "session/messages.hpp"
#include "session/printing/pane_host.hpp"
#include "session/printing/print_session.hpp"
#include "session/session_error.hpp"

namespace kvx::session {
namespace {

// What the pane says when its plug-in declines a printer; anything else
// that keeps the pane away is a fault worth a line.
constexpr std::string_view kDeclinedReason = "the pane is not shown for this printer";

struct Job {
    std::string queue;
    std::string plugInsFolder;
    PPDSource ppds;
    QueueAnswer known;  // the last answer for the queue; its PPD may be the same
    QueueAnswer answer;
};

// The answer for one of the queue's PPDs: the known one when it was for
// the same PPD, else the plug-in's.
void Answer(Job &job, std::shared_ptr<const FetchedPPD> ppd) {
    QueueAnswer &answer = job.answer;
    if (job.known.ppd && job.known.ppd->bytes() == ppd->bytes() &&
        job.known.ppd->forwardedTo() == ppd->forwardedTo()) {
        answer = job.known;
        return;
    }
    answer = QueueAnswer();
    answer.queue = job.queue;
    answer.ppd = std::move(ppd);
    const PaneVerdict verdict = AskPlugIn(answer.ppd, job.plugInsFolder);
    answer.paneApplies = verdict.shown;
    answer.paneTitle = verdict.title;
    answer.failure = verdict.failure;
    if (answer.paneApplies) answer.options = ReadPaneOptions(answer.ppd->path());
}

// A print server that is down or slow costs this queue its pane and a line
// in the debug log, not a fault of the dialog's.
void AnswerByOrigin(Job &job, const FetchedPPD *own) {
    std::shared_ptr<const FetchedPPD> origin;
    try {
        origin = job.ppds.origin(job.queue, own);
    } catch (const SessionError &error) {
        ReportMessage(std::string(error.what()) + "; no pane for " + job.queue);
    }
    if (origin) Answer(job, std::move(origin));
}

// The queue's own PPD first; the queue it forwards to where that leaves
// the pane out.
void RunJob(Job &job) {
    QueueAnswer &answer = job.answer;
    answer.queue = job.queue;
    const auto started = std::chrono::steady_clock::now();
    try {
        std::shared_ptr<const FetchedPPD> own = job.ppds.own(job.queue);
        if (own) Answer(job, own);
        if (!answer.paneApplies && answer.failure.empty()) AnswerByOrigin(job, own.get());
    } catch (const std::exception &error) {
        answer.paneApplies = false;
        answer.failure = error.what();
    }
    answer.checkMilliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
}

}  // namespace

PPDSource SchedulerPPDs() {
    return {
        .own =
            [](const std::string &queue) {
                const SchedulerConnection scheduler;
                return FetchPPD(scheduler, queue);
            },
        .origin =
            [](const std::string &queue, const FetchedPPD *own) {
                const SchedulerConnection scheduler;
                return FetchOriginPPD(scheduler, queue, own);
            },
    };
}

PaneVerdict AskPlugIn(const std::shared_ptr<const FetchedPPD> &ppd, const std::string &plugInsFolder) {
    const PrintSession session(ppd);
    PaneHost host(plugInsFolder, session);
    PaneVerdict verdict{host.IsShown(), host.PaneTitle(), {}};
    if (!verdict.shown && !host.NotShownReason().starts_with(kDeclinedReason)) verdict.failure = host.NotShownReason();
    return verdict;
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
