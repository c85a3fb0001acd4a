// Each CUPS queue's model name (its PPD's ModelName), which decides whether
// the pane applies, found without downloading every PPD: from the per-user
// model cache where the queue's configuration has not changed since, else
// from the queue's PPD, fetched for several queues at once (a small bound,
// one connection each, every request with its timeout) and read only up to
// its ModelName line.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dialog/cups/dialog_scheduler.hpp"
#include "session/cups/ppd_fetch.hpp"

namespace kvx::dialog {

class ModelCache;

// How many PPDs are fetched at once.
constexpr int kConcurrentPPDFetches = 4;

struct QueueConfiguration {
    std::int64_t configTime = 0;  // printer-config-change-time
    // Whether the scheduler's clock was past that second when asked: only
    // then can a later change not share the time.
    bool settled = false;
};

// Every queue's configuration time, by queue name, in one request. Throws
// DialogError with kExitUsage, naming the scheduler, when it does not answer.
std::map<std::string, QueueConfiguration> ListQueueConfigurations(const DialogScheduler &scheduler);

// Fetches the queues' PPDs, at most `bound` at once, and reads each one's
// ModelName; one result per queue, in order. The scheduler's watchdog is
// rearmed as each fetch starts.
std::vector<session::ModelLookup> FetchModelNames(const DialogScheduler &scheduler, const std::vector<std::string> &queues,
                                         int bound = kConcurrentPPDFetches);

// The queues' model names, in order: from the cache where the queue's
// configuration time (in `configurations`, every queue the scheduler has)
// matches, else fetched (and then remembered). Entries of queues not in
// `configurations` are dropped. Throws DialogError with kExitUsage, naming
// the queue, when a PPD cannot be fetched.
std::vector<std::string> LookUpQueueModels(const DialogScheduler &scheduler,
                                           const std::map<std::string, QueueConfiguration> &configurations,
                                           const std::vector<std::string> &queues, ModelCache &cache);

}  // namespace kvx::dialog
