// Runs the built kvx-dialog as a separate process, with a script written to
// a temporary folder, and collects its exit status and output.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bundle/TempFolder.hpp"
#include "json_reader.hpp"

namespace kvx::test {

struct DialogResult {
    int exitStatus = -1;
    std::string out;
    std::string err;

    // Each line of stdout, parsed as JSON.
    std::vector<JsonValue> Reports() const;
};

class DialogProcess {
public:
    // Runs kvx-dialog with the arguments and the script (given as --script,
    // or on stdin with --script -).
    DialogResult Run(std::string_view script, const std::vector<std::string> &arguments = {}) const;
    DialogResult RunWithScriptOnStdin(std::string_view script, const std::vector<std::string> &arguments = {}) const;
    // Runs kvx-dialog with exactly these arguments and an empty stdin.
    DialogResult RunWithArguments(const std::vector<std::string> &arguments) const;

    // A file of the test's temporary folder, written with these bytes.
    std::filesystem::path WriteFile(const std::string &name, std::string_view bytes) const;
    std::filesystem::path PathOf(const std::string &name) const { return folder_.path() / name; }

private:
    DialogResult Spawn(const std::vector<std::string> &arguments, const std::filesystem::path &input) const;

    TempFolder folder_;
};

}  // namespace kvx::test
