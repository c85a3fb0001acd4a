#include "cups/scheduler.hpp"

#include <unistd.h>

#include "cli/dialog_error.hpp"
#include "cli/messages.hpp"
#include "cups/printers.hpp"

namespace kvx::dialog {
namespace {

constexpr int kBlockingConnection = 1;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr int kAbortRequest = 0;
// The watchdog's limit: the connection's own timeout, once more for the
// connections libcups opens by itself.
constexpr auto kRequestLimit = std::chrono::milliseconds(2 * kSchedulerTimeoutMilliseconds);

// A request that waits past the timeout is abandoned, so a scheduler that
// accepts the connection and then never answers cannot hang the dialog.
int AbandonStalledRequest(http_t *, void *) {
    return kAbortRequest;
}

std::string SchedulerAddress() {
    const char *server = cupsServer();
    if (server[0] == '/') return server;
    return std::string(server) + ":" + std::to_string(ippPort());
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

http_t *ConnectToScheduler() {
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), kBlockingConnection,
                                kSchedulerTimeoutMilliseconds, nullptr);
    if (http != nullptr) {
        httpSetTimeout(http, kSchedulerTimeoutMilliseconds / kMillisecondsPerSecond, AbandonStalledRequest, nullptr);
    }
    return http;
}

SchedulerConnection::SchedulerConnection(OnStall onStall) : address_(SchedulerAddress()) {
    if (onStall == OnStall::EndTheRun) watchdog_.emplace(address_, kRequestLimit);
    http_ = ConnectToScheduler();
    if (http_ == nullptr) throw DialogError(kExitUsage, "cannot reach the print scheduler at " + address_);
}

SchedulerConnection::~SchedulerConnection() {
    httpClose(http_);
}

std::string LastSchedulerError() {
    const char *reason = cupsLastErrorString();
    return reason != nullptr ? reason : "no reason given";
}

}  // namespace kvx::dialog
