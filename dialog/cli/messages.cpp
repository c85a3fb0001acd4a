#include "cli/messages.hpp"

#include <atomic>
#include <iostream>

namespace kvx::dialog {
namespace {

// Set once by the embedding program, read by whichever thread reports.
std::atomic<MessageSink> messageSink{nullptr};

}  // namespace

void ReportMessage(std::string_view message) {
    if (const MessageSink sink = messageSink.load()) {
        sink(message);
    } else {
        std::cerr << kProgramName << ": " << message << '\n';
    }
}

void SetMessageSink(MessageSink sink) {
    messageSink.store(sink);
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

}  // namespace kvx::dialog
