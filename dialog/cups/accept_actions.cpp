#include "cups/accept_actions.hpp"

#include <fstream>

#include "cups/cups_job.hpp"
#include "cli/dialog_error.hpp"
#include "cli/messages.hpp"
#include "cups/queue_defaults.hpp"

namespace kvx::dialog {
namespace {

void RequireReadableFile(const std::string &path) {
    // An ifstream opens a directory too; peeking tells them apart.
    std::ifstream file(path, std::ios::binary);
    file.peek();
    if (!file) throw DialogError(kExitUsage, "cannot read the file to print " + Quoted(path));
}

}  // namespace

AcceptActions::AcceptActions(const Options &options, std::string ppdPath, std::ostream &out)
    : options_(options), ppdPath_(std::move(ppdPath)), out_(out) {
    if (options_.printPath) RequireReadableFile(*options_.printPath);
}

bool AcceptActions::AnyRequested() const {
    return options_.lpOptions || options_.saveDefaults || options_.printPath;
}

void AcceptActions::Perform(CFDictionaryRef ppdDict) const {
    if (!AnyRequested()) return;
    // The window may switch to a printer that is a PPD file after the command line named a queue.
    if ((options_.saveDefaults || options_.printPath) && !options_.printerQueue) {
        throw DialogError(kExitUsage, "--print and --save-defaults need a CUPS queue, and the printer is the PPD file " +
                                          Quoted(ppdPath_));
    }
    const JobOptions options = CopyJobOptions(ppdDict);
    CheckJobOptions(options, ppdPath_, options_.printerQueue.value_or(ppdPath_));
    if (options_.lpOptions) out_ << FormatLpArguments(options) << std::endl;
    if (options_.saveDefaults) SaveQueueDefaults(*options_.printerQueue, options);
    if (options_.printPath) out_ << SubmitJob(*options_.printerQueue, *options_.printPath, options) << std::endl;
}

}  // namespace kvx::dialog
