// The module's one kind of message: a line on stderr that names the module,
// so that a person can tell it from the application's own.
#pragma once

#include <iostream>
#include <string_view>

namespace kvx::gtk_module {

inline void ReportProblem(std::string_view message) {
    std::cerr << "kvx-print: " << message << '\n';
}

}  // namespace kvx::gtk_module
