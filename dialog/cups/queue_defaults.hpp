// The user's defaults for a CUPS queue (the lpoptions file, as `lpoptions
// -p QUEUE -o ...` keeps them): the pane's settings saved there and read
// back into the print-settings ticket. The DIN is never among them.
#pragma once

#include <string>

#include "CoreFoundation.h"
#include "dialog/cups/cups_job.hpp"
#include "session/cups/ppd_file.hpp"
#include "dialog/cups/dialog_scheduler.hpp"

namespace kvx::dialog {

// Stores each of the pane's options except the DIN's digits as the user's
// default for the queue, and drops any DIN digit stored there before.
// Throws DialogError with kExitUsage when the scheduler cannot be reached
// or the defaults cannot be written.
void SaveQueueDefaults(const std::string &queue, const JobOptions &options);

// The user's defaults for the queue, as the scheduler's client library
// keeps them; none when the user has set none.
JobOptions ReadQueueDefaults(const DialogScheduler &scheduler, const std::string &queue);

// Puts each of those defaults that the queue's PPD offers (an option it
// has, a choice that option has) into ppdDict; a DIN digit is never taken.
void ApplyQueueDefaults(const JobOptions &defaults, const session::PPDFile &ppd, CFMutableDictionaryRef ppdDict);

}  // namespace kvx::dialog
