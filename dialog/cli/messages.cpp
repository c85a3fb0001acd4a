#include "dialog/cli/messages.hpp"

#include <cstdlib>
#include <iostream>

#include "KVXHost.h"

namespace kvx::dialog {
namespace {

constexpr const char *kDebugVariable = "KVX_DEBUG";

void ShowInDebugLog(const char *text) {
    std::cerr << kProgramName << ": debug: " << text << '\n';
}

void DropShown(const char *) {}

}  // namespace

void ReportMessage(std::string_view message) {
    std::cerr << kProgramName << ": " << message << '\n';
}

void TakeSessionMessages() {
    session::SetMessageSink(ReportMessage);
    const char *debug = std::getenv(kDebugVariable);
    KVXHostSetShowSink(debug != nullptr && debug[0] != '\0' ? ShowInDebugLog : DropShown);
}

}  // namespace kvx::dialog
