// The printer's own defaults for the pane's settings: the default choices
// of its PPD (for a CUPS queue, what `lpadmin -p QUEUE -o KEY=VALUE` sets).
#pragma once

#include "CoreFoundation.h"
#include "session/cups/ppd_file.hpp"

namespace kvx::dialog {

// Puts the PPD's default choice of each of the pane's options into ppdDict;
// a DIN digit is never taken, nor an option the PPD lacks.
void LoadPPDDefaults(const session::PPDFile &ppd, CFMutableDictionaryRef ppdDict);

}  // namespace kvx::dialog
