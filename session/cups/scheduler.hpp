// The one way to a CUPS scheduler for every dialog: a connection whose
// connecting and every request are bounded by one timeout, so that a
// scheduler that is down, or that accepts and then never answers, costs a
// bounded wait and never a hang.
#pragma once

#include <cups/cups.h>

#include <functional>
#include <string>

namespace kvx::session {

constexpr int kSchedulerTimeoutMilliseconds = 5000;

// Where a scheduler is: the one libcups names (CUPS_SERVER, client.conf,
// else the local one), or another, such as the print server a queue
// forwards to.
struct SchedulerAddress {
    std::string host;  // a host name or address, or a domain socket's path
    int port = 0;
    http_encryption_t encryption = HTTP_ENCRYPTION_IF_REQUESTED;

    // "HOST:PORT", or the socket's path alone, for messages.
    std::string Describe() const;
};

// The scheduler libcups names for this process.
SchedulerAddress DefaultScheduler();

class SchedulerConnection {
public:
    // Called before each request on the connection (kvx-dialog's watchdog
    // is rearmed there).
    using RequestWatch = std::function<void()>;

    // Throws SessionError (unusable input), naming the scheduler, when no
    // connection is made within the timeout.
    explicit SchedulerConnection(SchedulerAddress address = DefaultScheduler(), RequestWatch watch = {});
    ~SchedulerConnection();
    SchedulerConnection(const SchedulerConnection &) = delete;
    SchedulerConnection &operator=(const SchedulerConnection &) = delete;

    http_t *get() const { return http_; }
    const SchedulerAddress &address() const { return address_; }
    // "HOST:PORT" (or the socket's path), for messages.
    const std::string &Describe() const { return description_; }
    // Call before each request: the request gets the whole time limit.
    void StartRequest() const {
        if (watch_) watch_();
    }
    // After a request broke off: the same scheduler again, within the
    // timeout; false when it does not answer.
    bool Reconnect() const;

private:
    SchedulerAddress address_;
    std::string description_;
    RequestWatch watch_;
    http_t *http_ = nullptr;
};

// The reason of the last failed libcups request on this thread, for messages.
std::string LastSchedulerError();

}  // namespace kvx::session
