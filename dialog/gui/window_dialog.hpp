// kvx-dialog with a window: the dialog on a display, optionally performing a
// script first and rendering itself into a PNG afterwards.
#pragma once

#include "options.hpp"

namespace kvx::dialog {

// Returns when the window is closed, or after the screenshot. Throws
// DialogError: kExitUsage when there is no display or a file cannot be read
// or written; the script's errors as the headless dialog throws them.
void RunWindowDialog(const Options &options);

}  // namespace kvx::dialog
