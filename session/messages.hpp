// Messages for people from the print session and what stands on it: one
// line each. Where they go is the embedding program's choice: kvx-dialog
// writes them on stderr under its own name, the pane inside another
// program's print dialog into that program's debug log.
#pragma once

#include <string>
#include <string_view>

namespace kvx::session {

// Hands the message to the sink, else writes "kvx: MESSAGE" on stderr.
void ReportMessage(std::string_view message);

// Set once by the embedding program, before any thread reports; null:
// stderr again.
using MessageSink = void (*)(std::string_view message);
void SetMessageSink(MessageSink sink);

// The text in double quotes, for naming files, queues and models in messages.
std::string Quoted(std::string_view text);

}  // namespace kvx::session
