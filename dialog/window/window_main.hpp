// The window module's entry. kvx-dialog loads the module (libkvxwindow.so)
// only for --gui, so that script mode never maps GTK, and finds this
// function by its C name.
#pragma once

#include "dialog/cli/options.hpp"

namespace kvx::dialog {

constexpr const char *kWindowEntryName = "KVXDialogRunWindow";
using WindowEntry = int (*)(const Options *options);

}  // namespace kvx::dialog

// Shows the dialog's window until it is closed, or performs the script and
// writes the screenshot. Returns the exit status, having said on stderr why
// it is not 0; no exception leaves it.
extern "C" int KVXDialogRunWindow(const kvx::dialog::Options *options);
