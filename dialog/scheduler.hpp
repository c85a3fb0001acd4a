// A connection to the CUPS scheduler whose every request is bounded in time,
// and an owner for the destination lists that libcups hands out.
#pragma once

#include <cups/cups.h>

#include <string>

namespace kvx::dialog {

class SchedulerConnection {
public:
    // Connects to the scheduler that libcups names (CUPS_SERVER, client.conf,
    // else the local one). Throws DialogError with kExitUsage, naming the
    // scheduler, when no connection is made within the timeout.
    SchedulerConnection();
    ~SchedulerConnection();
    SchedulerConnection(const SchedulerConnection &) = delete;
    SchedulerConnection &operator=(const SchedulerConnection &) = delete;

    http_t *get() const { return http_; }
    // "HOST:PORT" (or the socket's path), for messages.
    const std::string &address() const { return address_; }

private:
    std::string address_;
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
