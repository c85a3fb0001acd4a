#include "session/messages.hpp"

#include <atomic>
#include <iostream>

namespace kvx::session {
namespace {

constexpr std::string_view kDefaultSource = "kvx";

// Read by whichever thread reports: the queue checks run on threads of their own.
std::atomic<MessageSink> messageSink{nullptr};

}  // namespace

void ReportMessage(std::string_view message) {
    if (const MessageSink sink = messageSink.load()) {
        sink(message);
    } else {
        std::cerr << kDefaultSource << ": " << message << '\n';
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

}  // namespace kvx::session
