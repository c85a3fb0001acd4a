// Where the print-settings ticket starts from, each later source over the
// earlier: for a CUPS queue its PPD's default choices for the pane's
// settings (what its administrator set), then the user's saved defaults for
// it (lpoptions); then the settings file when one is given. The DIN is never
// taken from a default: a private-print PIN belongs to one job.
#pragma once

#include <string>

#include "CoreFoundation.h"
#include "dialog/cli/options.hpp"
#include "dialog/cups/cups_job.hpp"
#include "session/cups/ppd_file.hpp"

namespace kvx::dialog {

// Fills ppdDict from the queue's defaults (its PPD's and the user's,
// userDefaults) and the settings file; ppd is the printer's parsed PPD. A settings file that cannot be read or parsed ends
// the run (DialogError, kExitUsage) unless --ignore-bad-settings asked to
// start from the defaults; even then the file is never saved over, since
// what it held would be lost.
void LoadStartingSettings(const Options &options, const session::PPDFile &ppd, const JobOptions &userDefaults,
                          CFMutableDictionaryRef ppdDict);

}  // namespace kvx::dialog
