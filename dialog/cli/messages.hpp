// Messages for the person running the dialog: one line each on stderr, or
// wherever a program that embeds the dialog library sends them.
#pragma once

#include <string>
#include <string_view>

namespace kvx::dialog {

constexpr std::string_view kProgramName = "kvx-dialog";

// Writes "kvx-dialog: MESSAGE" and a newline to stderr, or hands MESSAGE to
// the sink.
void ReportMessage(std::string_view message);

// Where messages go instead of stderr: the GTK module sends them to the
// application's debug log, since its own faults are said once in its own
// words. Null: stderr again.
using MessageSink = void (*)(std::string_view message);
void SetMessageSink(MessageSink sink);

// The text in double quotes, for naming files, lines and models in messages.
std::string Quoted(std::string_view text);

}  // namespace kvx::dialog
