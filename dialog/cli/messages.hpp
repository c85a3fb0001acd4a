// Messages for the person running the dialog: one line each on stderr.
#pragma once

#include <string>
#include <string_view>

namespace kvx::dialog {

constexpr std::string_view kProgramName = "kvx-dialog";

// Writes "kvx-dialog: MESSAGE" and a newline to stderr.
void ReportMessage(std::string_view message);

// The text in double quotes, for naming files, lines and models in messages.
std::string Quoted(std::string_view text);

}  // namespace kvx::dialog
