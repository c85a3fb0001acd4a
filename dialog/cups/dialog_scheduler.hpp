// The scheduler as a kvx-dialog run talks to it: the print session's
// bounded connection, and, when someone waits for the run, a watchdog over
// all of it. libcups opens connections of its own inside some calls (the
// default destination's lookup) that wait a minute for a silent scheduler
// whatever the caller's connection says; the watchdog bounds those too.
// Also an owner for the destination lists that libcups hands out.
#pragma once

#include <cups/cups.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "session/cups/scheduler.hpp"

namespace kvx::dialog {

// Ends the process with exit status 2 and a message naming the scheduler
// when it is not disarmed in time.
class SchedulerWatchdog {
public:
    SchedulerWatchdog(std::string address, std::chrono::milliseconds limit);
    ~SchedulerWatchdog();
    SchedulerWatchdog(const SchedulerWatchdog &) = delete;
    SchedulerWatchdog &operator=(const SchedulerWatchdog &) = delete;

    // The next request gets the whole limit again.
    void Rearm();

private:
    void Watch();

    std::string address_;
    std::chrono::milliseconds limit_;
    std::chrono::steady_clock::time_point deadline_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool disarmed_ = false;
    std::thread thread_;  // last, so that it starts after everything it reads
};

// What a request does that is still unanswered after the watchdog's limit.
enum class OnStall {
    EndTheRun,  // the watchdog ends the process: someone waits for the run
    Wait,       // nothing: a thread nobody waits for, such as the window's list
};

class DialogScheduler {
public:
    // Connects to the scheduler that libcups names. Throws SessionError
    // (unusable input), naming it, when no connection is made in time.
    explicit DialogScheduler(OnStall onStall = OnStall::EndTheRun);
    DialogScheduler(const DialogScheduler &) = delete;
    DialogScheduler &operator=(const DialogScheduler &) = delete;

    const session::SchedulerConnection &connection() const { return connection_; }
    http_t *get() const { return connection_.get(); }
    const std::string &address() const { return connection_.Describe(); }
    void StartRequest() const { connection_.StartRequest(); }

private:
    std::optional<SchedulerWatchdog> watchdog_;
    session::SchedulerConnection connection_;
};

// A list of destinations, freed with cupsFreeDests.
class DestinationList {
public:
    DestinationList() = default;
    ~DestinationList() { cupsFreeDests(count_, dests_); }
    DestinationList(const DestinationList &) = delete;
    DestinationList &operator=(const DestinationList &) = delete;

    int count() const { return count_; }
    cups_dest_t *begin() const { return dests_; }
    cups_dest_t *end() const { return dests_ + count_; }
    int *countSlot() { return &count_; }
    cups_dest_t **destsSlot() { return &dests_; }

private:
    int count_ = 0;
    cups_dest_t *dests_ = nullptr;
};

}  // namespace kvx::dialog
