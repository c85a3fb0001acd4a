// The CUPS printers the dialog can print to: the scheduler's destinations,
// each with the model its PPD names and whether the Korvane pane serves it,
// and what the dialog takes from the scheduler to show one queue.
//
// The scheduler is the one libcups names (CUPS_SERVER, client.conf, else the
// local one), reached through the print session's bounded connection, so a
// scheduler that is down or does not answer is an error, never a hang.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialog/cups/cups_job.hpp"
#include "dialog/cups/dialog_scheduler.hpp"
#include "session/cups/ppd_fetch.hpp"

namespace kvx::dialog {

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
// from its PPD. Throws SessionError (unusable input), naming the
// scheduler, when it cannot be reached within the timeout.
std::vector<PrinterDestination> ListPrinters(OnStall onStall = OnStall::EndTheRun);

// All that the dialog takes from the scheduler to show a queue, fetched on
// one connection: a window fetches it on a thread of its own. For a queue
// whose own PPD is not the pane's model but that forwards to a queue of
// that model on another scheduler (a print server's, reached by a
// driverless or cups-browsed queue), the PPD is that queue's: the pane,
// its defaults and the check of the job's options follow the printer at
// the far end, and the job goes to the local queue, which passes it on.
struct FetchedQueue {
    std::shared_ptr<const session::FetchedPPD> ppd;
    JobOptions userDefaults;  // the user's lpoptions for the queue
};

// Throws SessionError (unusable input) when the scheduler does not answer,
// the queue is unknown to it, or the queue has no PPD.
FetchedQueue FetchQueue(const std::string &queue, OnStall onStall = OnStall::EndTheRun);

}  // namespace kvx::dialog
