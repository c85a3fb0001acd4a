// A print job's options, taken from the print-settings ticket: shown as lp
// arguments, checked against the queue's PPD and submitted to the queue.
#pragma once

#include <string>
#include <vector>

#include "CoreFoundation.h"
#include "session/cups/ppd_file.hpp"

namespace kvx::dialog {

struct JobOption {
    std::string key;
    std::string value;
};
using JobOptions = std::vector<JobOption>;

// Every entry of the ticket's PPD dictionary whose key and value are strings,
// in the dictionary's order. Other entries are no PPD choice: each is left
// out with a message on stderr naming its key.
JobOptions CopyJobOptions(CFDictionaryRef ppdDict);

// "-o KEY=VALUE" for each option, separated by spaces; an argument with any
// character a POSIX shell treats specially is single-quoted.
std::string FormatLpArguments(const JobOptions &options);

// Throws DialogError with kExitUsage, naming the option and the printer,
// when the PPD has no such option or does not offer its value (libcups
// would silently fall back to the default choice for such a value); the
// message ends with `notDone`, what the refusal left undone. The value of a
// secret option is never put in the message.
void CheckJobOptions(const JobOptions &options, const session::PPDFile &ppd, const std::string &printer,
                     const std::string &notDone);

// Submits the file to the queue with the options; returns the job's ID.
// Throws DialogError with kExitUsage when the scheduler cannot be reached or
// refuses the job.
int SubmitJob(const std::string &queue, const std::string &file, const JobOptions &options);

}  // namespace kvx::dialog
