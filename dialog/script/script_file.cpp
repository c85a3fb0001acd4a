#include "dialog/script/script_file.hpp"

#include <iostream>

#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"
#include "dialog/cli/options.hpp"

namespace kvx::dialog {

ScriptFile::ScriptFile(const std::string &path) : standardInput_(path == kStandardInputName) {
    if (standardInput_) return;
    file_.open(path);
    if (!file_) throw DialogError(kExitUsage, "cannot read the script " + Quoted(path));
}

std::istream &ScriptFile::Stream() {
    return standardInput_ ? std::cin : file_;
}

}  // namespace kvx::dialog
