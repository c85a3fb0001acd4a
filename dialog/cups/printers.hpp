// The CUPS printers the dialog can print to: the scheduler's destinations,
// each with the model its PPD names and whether the Korvane pane serves it,
// and a queue's PPD fetched into a private file that the host's printer-info
// ticket can be bound to.
//
// The scheduler is the one libcups names (CUPS_SERVER, client.conf, else the
// local one). Every request is bounded: connecting gives up after
// kSchedulerTimeoutMilliseconds, so a scheduler that is down or does not
// answer is an error, never a hang.
#pragma once

#include <string>
#include <vector>

#include "cups/cups_job.hpp"
#include "cups/scheduler.hpp"

namespace kvx::dialog {

constexpr int kSchedulerTimeoutMilliseconds = 5000;

// The model that the Korvane pane serves: a queue whose PPD names it as its
// ModelName shows the pane.
constexpr const char *kPaneModelName = "Korvane RM-4750";

struct PrinterDestination {
    std::string name;        // the queue's name, as --printer takes it
    std::string modelName;   // the PPD's ModelName; empty when the queue has no PPD
    bool isDefault = false;  // the user's or the scheduler's default destination
    bool paneApplies = false;
};

// The scheduler's destinations in name order (instances are left out), each
// queue's model from the per-user model cache where it is current, else
// from its PPD. Throws DialogError with kExitUsage, naming the scheduler,
// when it cannot be reached within the timeout.
std::vector<PrinterDestination> ListPrinters(OnStall onStall = OnStall::EndTheRun);

// A queue's PPD in a private temporary file (mode 0600), removed when the
// object goes. Move-only.
class FetchedPPD {
public:
    // Throws DialogError with kExitUsage when the scheduler does not answer,
    // the queue is unknown to it, or the queue has no PPD.
    FetchedPPD(const SchedulerConnection &scheduler, const std::string &queue);
    ~FetchedPPD();
    FetchedPPD(FetchedPPD &&other) noexcept;
    FetchedPPD &operator=(FetchedPPD &&other) noexcept;
    FetchedPPD(const FetchedPPD &) = delete;
    FetchedPPD &operator=(const FetchedPPD &) = delete;

    const std::string &path() const { return path_; }
    const std::string &queue() const { return queue_; }

private:
    std::string queue_;
    std::string path_;  // empty once moved from
};

// All that the dialog takes from the scheduler to show a queue, fetched on
// one connection: a window fetches it on a thread of its own.
struct FetchedQueue {
    FetchedPPD ppd;
    JobOptions userDefaults;  // the user's lpoptions for the queue
};

// Throws DialogError as FetchedPPD does.
FetchedQueue FetchQueue(const std::string &queue, OnStall onStall = OnStall::EndTheRun);

}  // namespace kvx::dialog
