// Where the print-settings ticket starts from: a settings file when one is
// given, else the user's defaults for the CUPS queue, else nothing.
#pragma once

#include <string>

#include "CoreFoundation.h"
#include "cli/options.hpp"

namespace kvx::dialog {

// Fills ppdDict from the settings file or the queue's defaults. A settings
// file that cannot be read or parsed ends the run (DialogError, kExitUsage)
// unless --ignore-bad-settings asked to start from defaults; even then the
// file is never saved over, since what it held would be lost.
void LoadStartingSettings(const Options &options, const std::string &ppdPath, CFMutableDictionaryRef ppdDict);

}  // namespace kvx::dialog
