#include "dialog/cups/accept_actions.hpp"

#include <fstream>
#include <string_view>
#include <vector>

#include "dialog/cups/cups_job.hpp"
#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"
#include "dialog/cups/queue_defaults.hpp"

namespace kvx::dialog {
namespace {

void RequireReadableFile(const std::string &path) {
    // An ifstream opens a directory too; peeking tells them apart.
    std::ifstream file(path, std::ios::binary);
    file.peek();
    if (!file) throw DialogError(kExitUsage, "cannot read the file to print " + Quoted(path));
}

}  // namespace

AcceptActions::AcceptActions(const Options &options, const session::PPDFile &ppd, std::string ppdPath, std::ostream &out)
    : options_(options), ppd_(ppd), ppdPath_(std::move(ppdPath)), out_(out) {
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
    CheckJobOptions(options, ppd_, options_.printerQueue.value_or(ppdPath_), WhatIsNotDone());
    if (options_.lpOptions) out_ << FormatLpArguments(options) << std::endl;
    if (options_.saveDefaults) SaveQueueDefaults(*options_.printerQueue, options);
    if (options_.printPath) out_ << SubmitJob(*options_.printerQueue, *options_.printPath, options) << std::endl;
}

// "nothing was printed", "no defaults were saved" or both, as the run asked.
std::string AcceptActions::WhatIsNotDone() const {
    std::vector<std::string_view> notDone;
    if (options_.lpOptions) notDone.push_back("no lp arguments were written");
    if (options_.saveDefaults) notDone.push_back("no defaults were saved");
    if (options_.printPath) notDone.push_back("nothing was printed");
    std::string text;
    for (size_t index = 0; index < notDone.size(); ++index) {
        if (index > 0) text += index + 1 == notDone.size() ? " and " : ", ";
        text += notDone[index];
    }
    return text;
}

}  // namespace kvx::dialog
