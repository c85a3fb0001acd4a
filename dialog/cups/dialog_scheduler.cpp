#include "dialog/cups/dialog_scheduler.hpp"

#include <unistd.h>

#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"

namespace kvx::dialog {
namespace {

// The watchdog's limit: the connection's own timeout, once more for the
// connections libcups opens by itself.
constexpr auto kRequestLimit = std::chrono::milliseconds(2 * session::kSchedulerTimeoutMilliseconds);

std::optional<SchedulerWatchdog> &Armed(std::optional<SchedulerWatchdog> &watchdog, OnStall onStall) {
    if (onStall == OnStall::EndTheRun) watchdog.emplace(session::DefaultScheduler().Describe(), kRequestLimit);
    return watchdog;
}

}  // namespace

SchedulerWatchdog::SchedulerWatchdog(std::string address, std::chrono::milliseconds limit)
    : address_(std::move(address)),
      limit_(limit),
      deadline_(std::chrono::steady_clock::now() + limit),
      thread_(&SchedulerWatchdog::Watch, this) {}

SchedulerWatchdog::~SchedulerWatchdog() {
    {
        const std::lock_guard lock(mutex_);
        disarmed_ = true;
    }
    changed_.notify_one();
    thread_.join();
}

void SchedulerWatchdog::Rearm() {
    {
        const std::lock_guard lock(mutex_);
        deadline_ = std::chrono::steady_clock::now() + limit_;
    }
    changed_.notify_one();
}

void SchedulerWatchdog::Watch() {
    std::unique_lock lock(mutex_);
    while (!disarmed_) {
        if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && !disarmed_ &&
            std::chrono::steady_clock::now() >= deadline_) {
            // The main thread is stuck inside libcups: nothing can be unwound.
            ReportMessage("the print scheduler at " + address_ + " did not answer within " +
                          std::to_string(std::chrono::duration_cast<std::chrono::seconds>(limit_).count()) +
                          " seconds");
            _exit(kExitUsage);
        }
    }
}

DialogScheduler::DialogScheduler(OnStall onStall)
    : connection_(session::DefaultScheduler(), [watchdog = &Armed(watchdog_, onStall)] {
          if (*watchdog) (*watchdog)->Rearm();
      }) {}

}  // namespace kvx::dialog
