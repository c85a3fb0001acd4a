// A connection to the CUPS scheduler whose every request is bounded in time,
// and an owner for the destination lists that libcups hands out.
#pragma once

#include <cups/cups.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kvx::dialog {

// Ends the process with exit status 2 and a message naming the scheduler when
// it is not disarmed in time. libcups opens connections of its own inside
// some calls (the default destination's lookup) that wait a minute for a
// silent scheduler whatever the caller's connection says; this bounds them.
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

// A new connection to the scheduler that libcups names, every request on it
// bounded by the timeout; null when none is made in time. httpClose ends it.
http_t *ConnectToScheduler();

class SchedulerConnection {
public:
    // Connects to the scheduler that libcups names (CUPS_SERVER, client.conf,
    // else the local one). Throws DialogError with kExitUsage, naming the
    // scheduler, when no connection is made within the timeout.
    explicit SchedulerConnection(OnStall onStall = OnStall::EndTheRun);
    ~SchedulerConnection();
    SchedulerConnection(const SchedulerConnection &) = delete;
    SchedulerConnection &operator=(const SchedulerConnection &) = delete;

    http_t *get() const { return http_; }
    // "HOST:PORT" (or the socket's path), for messages.
    const std::string &address() const { return address_; }
    // Call before each request: the request gets the whole time limit.
    void StartRequest() const {
        if (watchdog_) watchdog_->Rearm();
    }

private:
    std::string address_;
    mutable std::optional<SchedulerWatchdog> watchdog_;  // rearmed by every request, even on a const connection
    http_t *http_ = nullptr;
};

// The reason of the last failed libcups request, for messages.
std::string LastSchedulerError();

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
