#include "dialog/cups/printers.hpp"

#include <map>

#include "dialog/cli/messages.hpp"
#include "dialog/cups/model_cache.hpp"
#include "dialog/cups/queue_defaults.hpp"
#include "dialog/cups/queue_models.hpp"
#include "session/session_error.hpp"

namespace kvx::dialog {
namespace {

bool IsFailedRequest() {
    const ipp_status_t status = cupsLastError();
    return status > IPP_STATUS_OK_EVENTS_COMPLETE && status != IPP_STATUS_ERROR_NOT_FOUND;
}

// The user's default queue as every CUPS client finds it (LPDEST or PRINTER,
// the lpoptions file, else the scheduler's default); empty when there is none.
std::string DefaultQueue(const DialogScheduler &scheduler) {
    scheduler.StartRequest();
    cups_dest_t *dest = cupsGetNamedDest(scheduler.get(), nullptr, nullptr);
    if (dest == nullptr) return {};
    std::string name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

bool IsKnownQueue(const DialogScheduler &scheduler, const std::string &queue) {
    scheduler.StartRequest();
    cups_dest_t *dest = cupsGetNamedDest(scheduler.get(), queue.c_str(), nullptr);
    if (dest == nullptr) {
        if (IsFailedRequest()) {
            throw session::SessionError(session::FailureKind::UnusableInput,
                                        "the print scheduler at " + scheduler.address() +
                                            " did not answer: " + session::LastSchedulerError());
        }
        return false;
    }
    cupsFreeDests(1, dest);
    return true;
}

bool IsPaneModel(const std::shared_ptr<const session::FetchedPPD> &ppd) {
    return ppd && session::ModelNameOf(*ppd) == kPaneModelName;
}

}  // namespace

std::vector<PrinterDestination> ListPrinters(OnStall onStall) {
    const DialogScheduler scheduler(onStall);
    // Names and configuration times only: a few bytes a queue, where the
    // destinations' full attributes take as long as lpstat -l.
    const std::map<std::string, QueueConfiguration> configurations = ListQueueConfigurations(scheduler);
    std::vector<std::string> queues;
    for (const auto &entry : configurations) queues.push_back(entry.first);
    const std::string defaultQueue = DefaultQueue(scheduler);
    ModelCache cache(DefaultModelCachePath());
    std::vector<std::string> models = LookUpQueueModels(scheduler, configurations, queues, cache);
    std::vector<PrinterDestination> printers;
    for (size_t index = 0; index < queues.size(); ++index) {
        const bool paneApplies = models[index] == kPaneModelName;
        printers.push_back(PrinterDestination{queues[index], std::move(models[index]), queues[index] == defaultQueue,
                                              paneApplies});
    }
    return printers;
}

FetchedQueue FetchQueue(const std::string &queue, OnStall onStall) {
    const DialogScheduler scheduler(onStall);
    if (!IsKnownQueue(scheduler, queue)) {
        throw session::SessionError(session::FailureKind::UnusableInput,
                                    "the print scheduler at " + scheduler.address() + " has no printer " + Quoted(queue));
    }
    std::shared_ptr<const session::FetchedPPD> ppd = session::FetchPPD(scheduler.connection(), queue);
    if (!IsPaneModel(ppd)) {
        // A print server that is down leaves the queue as its own PPD says.
        try {
            std::shared_ptr<const session::FetchedPPD> origin =
                session::FetchOriginPPD(scheduler.connection(), queue, ppd.get());
            if (IsPaneModel(origin)) ppd = std::move(origin);
        } catch (const session::SessionError &error) {
            ReportMessage(std::string(error.what()) + ", where " + Quoted(queue) + " forwards its jobs");
        }
    }
    if (!ppd) {
        throw session::SessionError(session::FailureKind::UnusableInput, "the printer " + Quoted(queue) + " has no PPD");
    }
    return FetchedQueue{std::move(ppd), ReadQueueDefaults(scheduler, queue)};
}

}  // namespace kvx::dialog
