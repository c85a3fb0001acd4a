#include "cups/printers.hpp"

#include <cups/ppd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

#include "cli/dialog_error.hpp"
#include "cli/messages.hpp"
#include "cups/model_cache.hpp"
#include "cups/queue_defaults.hpp"
#include "cups/queue_models.hpp"
#include "cups/scheduler.hpp"

// See ppd_file.hpp: the queue's PPD is what the pane is checked on.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kvx::dialog {
namespace {

constexpr mode_t kPrivateFileMode = S_IRUSR | S_IWUSR;
constexpr std::string_view kTempFilePattern = "kvx-printer-XXXXXX.ppd";
constexpr int kTempFileSuffixLength = 4;  // ".ppd"

bool IsFailedRequest() {
    const ipp_status_t status = cupsLastError();
    return status > IPP_STATUS_OK_EVENTS_COMPLETE && status != IPP_STATUS_ERROR_NOT_FOUND;
}

// A new empty file only this user can read, under the temporary directory.
std::string MakePrivateTempFile() {
    std::string path = (std::filesystem::temp_directory_path() / kTempFilePattern).string();
    const int fd = mkstemps(path.data(), kTempFileSuffixLength);
    if (fd < 0) throw DialogError(kExitHostFailure, "cannot make a temporary file for the printer's PPD");
    close(fd);
    return path;
}

// Copies the bytes of `from` (which may be a link into the scheduler's own
// folder) into a private file, so that what the dialog binds is its own.
std::string CopyToPrivateFile(const std::string &from) {
    std::string to = MakePrivateTempFile();
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    chmod(to.c_str(), kPrivateFileMode);
    if (error) {
        unlink(to.c_str());
        throw DialogError(kExitHostFailure, "cannot copy the printer's PPD: " + error.message());
    }
    return to;
}

// The queue's PPD in a private file, or nullopt when the queue has none.
std::optional<std::string> FetchPPDFile(const SchedulerConnection &scheduler, const std::string &queue) {
    std::array<char, PATH_MAX> fetched{};
    time_t modified = 0;
    scheduler.StartRequest();
    const http_status_t status = cupsGetPPD3(scheduler.get(), queue.c_str(), &modified, fetched.data(), fetched.size());
    if (status == HTTP_STATUS_NOT_FOUND) return std::nullopt;
    if (status != HTTP_STATUS_OK) {
        throw DialogError(kExitUsage, "cannot fetch the PPD of " + Quoted(queue) + " from the print scheduler at " +
                                          scheduler.address() + ": " + LastSchedulerError());
    }
    std::string path = fetched.data();
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        std::string copy = CopyToPrivateFile(path);
        unlink(path.c_str());
        return copy;
    }
    chmod(path.c_str(), kPrivateFileMode);
    return path;
}

// The user's default queue as every CUPS client finds it (LPDEST or PRINTER,
// the lpoptions file, else the scheduler's default); empty when there is none.
std::string DefaultQueue(const SchedulerConnection &scheduler) {
    scheduler.StartRequest();
    cups_dest_t *dest = cupsGetNamedDest(scheduler.get(), nullptr, nullptr);
    if (dest == nullptr) return {};
    std::string name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

bool IsKnownQueue(const SchedulerConnection &scheduler, const std::string &queue) {
    scheduler.StartRequest();
    cups_dest_t *dest = cupsGetNamedDest(scheduler.get(), queue.c_str(), nullptr);
    if (dest == nullptr) {
        if (IsFailedRequest()) {
            throw DialogError(kExitUsage, "the print scheduler at " + scheduler.address() +
                                              " did not answer: " + LastSchedulerError());
        }
        return false;
    }
    cupsFreeDests(1, dest);
    return true;
}

}  // namespace

std::vector<PrinterDestination> ListPrinters(OnStall onStall) {
    const SchedulerConnection scheduler(onStall);
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

FetchedPPD::FetchedPPD(const SchedulerConnection &scheduler, const std::string &queue) : queue_(queue) {
    if (!IsKnownQueue(scheduler, queue)) {
        throw DialogError(kExitUsage, "the print scheduler at " + scheduler.address() + " has no printer " +
                                          Quoted(queue));
    }
    std::optional<std::string> path = FetchPPDFile(scheduler, queue);
    if (!path) throw DialogError(kExitUsage, "the printer " + Quoted(queue) + " has no PPD");
    path_ = std::move(*path);
}

FetchedPPD::~FetchedPPD() {
    if (!path_.empty()) unlink(path_.c_str());
}

FetchedPPD::FetchedPPD(FetchedPPD &&other) noexcept
    : queue_(std::move(other.queue_)), path_(std::exchange(other.path_, std::string())) {}

FetchedPPD &FetchedPPD::operator=(FetchedPPD &&other) noexcept {
    if (this != &other) {
        if (!path_.empty()) unlink(path_.c_str());
        queue_ = std::move(other.queue_);
        path_ = std::exchange(other.path_, std::string());
    }
    return *this;
}

FetchedQueue FetchQueue(const std::string &queue, OnStall onStall) {
    const SchedulerConnection scheduler(onStall);
    FetchedPPD ppd(scheduler, queue);
    return FetchedQueue{std::move(ppd), ReadQueueDefaults(scheduler, queue)};
}

}  // namespace kvx::dialog
