// The text of kvx-dialog --help.
#pragma once

#include <string_view>

namespace kvx::dialog {

std::string_view HelpText();

}  // namespace kvx::dialog
