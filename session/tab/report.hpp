// kvx-print's one kind of message, in every toolkit: a line on stderr that
// names it, so that a person can tell it from the application's own.
#pragma once

#include <exception>
#include <iostream>
#include <string_view>

namespace kvx::session {

inline void ReportProblem(std::string_view message) {
    std::cerr << "kvx-print: " << message << '\n';
}

// Every entry from a toolkit goes through here: a fault in kvx-print is a line
// on stderr, never a crash of the application.
template <typename Action>
void Guarded(Action &&action) {
    try {
        action();
    } catch (const std::exception &error) {
        ReportProblem(error.what());
    } catch (...) {
        ReportProblem("an unexpected failure; the print dialog goes on without the pane");
    }
}

}  // namespace kvx::session
