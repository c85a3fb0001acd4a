#include "cli/messages.hpp"

#include <iostream>

namespace kvx::dialog {

void ReportMessage(std::string_view message) {
    std::cerr << kProgramName << ": " << message << '\n';
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
