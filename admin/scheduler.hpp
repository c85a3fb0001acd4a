// The scheduler an administrator's command works on, the one libcups names
// (CUPS_SERVER, -h, client.conf, else the local one), local or remote: its
// configuration file through /admin/conf/cupsd.conf and its queues over IPP.
// libcups asks for the administrator's password where the scheduler wants
// one (over the local domain socket root needs none).
#pragma once

#include <cups/cups.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvx::admin {

// A failure to say to the administrator, with nothing changed after it.
class AdminError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Queue {
    std::string name;
    std::string policy;        // printer-op-policy
    std::string formerPolicy;  // what apply found, kept on the queue; empty when apply never changed it
};

class Scheduler {
public:
    Scheduler();
    ~Scheduler();
    Scheduler(const Scheduler &) = delete;
    Scheduler &operator=(const Scheduler &) = delete;

    // "HOST:PORT", or the domain socket's path.
    const std::string &address() const { return address_; }

    std::string ReadConfiguration();
    // The scheduler restarts itself on the new file once it is idle; this
    // returns once it answers again and offers each of `policies` (or none
    // of them, when `present` is false).
    void WriteConfiguration(const std::string &text, const std::vector<std::string> &policies, bool present);

    // The queues (not classes) whose PPD's ModelName is `model`.
    std::vector<Queue> QueuesOfModel(const std::string &model);
    // Sets the queue's printer-op-policy, and keeps `former` on the queue
    // (std::nullopt: forgets what was kept).
    void SetPolicy(const std::string &queue, const std::string &policy, const std::optional<std::string> &former);

private:
    void Connect();
    std::string ModelName(const std::string &queue);
    // The policies the scheduler offers its queues; none when it does not answer.
    std::optional<std::vector<std::string>> OfferedPolicies();

    std::string address_;
    http_t *http_ = nullptr;
};

}  // namespace kvx::admin
