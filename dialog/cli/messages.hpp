// Messages for the person running kvx-dialog: one line each on stderr,
// under the program's name. The print session's own messages come here too.
#pragma once

#include <string_view>

#include "session/messages.hpp"

namespace kvx::dialog {

constexpr std::string_view kProgramName = "kvx-dialog";

// Writes "kvx-dialog: MESSAGE" and a newline to stderr.
void ReportMessage(std::string_view message);

// From now on the print session's messages are kvx-dialog's, and the
// plug-in's echo (CFShow) goes to the debug log: stderr only with
// KVX_DEBUG set, so that stderr carries kvx-dialog's own messages.
void TakeSessionMessages();

using session::Quoted;

}  // namespace kvx::dialog
