// A script's text: the file named on the command line, or standard input
// for "-".
#pragma once

#include <fstream>
#include <istream>
#include <string>

namespace kvx::dialog {

class ScriptFile {
public:
    // Throws DialogError with kExitUsage when the file cannot be read.
    explicit ScriptFile(const std::string &path);
    std::istream &Stream();

private:
    bool standardInput_;
    std::ifstream file_;
};

}  // namespace kvx::dialog
