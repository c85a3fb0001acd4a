#include "dialog_process.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <sstream>

extern char **environ;

namespace kvx::test {
namespace {

// The scripted dialog under test must never open a window, even when the
// tests run from a desktop session.
std::vector<char *> HeadlessEnvironment() {
    std::vector<char *> variables;
    for (char **variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry(*variable);
        if (entry.starts_with("DISPLAY=") || entry.starts_with("WAYLAND_DISPLAY=")) continue;
        variables.push_back(*variable);
    }
    variables.push_back(nullptr);
    return variables;
}

}  // namespace

std::vector<JsonValue> DialogResult::Reports() const {
    std::vector<JsonValue> reports;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) reports.push_back(ParseJson(line));
    return reports;
}

DialogResult DialogProcess::Run(std::string_view script, const std::vector<std::string> &arguments) const {
    std::vector<std::string> all = arguments;
    all.push_back("--script");
    all.push_back(WriteFile("test.script", script).string());
    return Spawn(all, "/dev/null");
}

DialogResult DialogProcess::RunWithScriptOnStdin(std::string_view script,
                                                 const std::vector<std::string> &arguments) const {
    std::vector<std::string> all = arguments;
    all.push_back("--script");
    all.push_back("-");
    return Spawn(all, WriteFile("stdin.script", script));
}

DialogResult DialogProcess::RunWithArguments(const std::vector<std::string> &arguments) const {
    return Spawn(arguments, "/dev/null");
}

std::filesystem::path DialogProcess::WriteFile(const std::string &name, std::string_view bytes) const {
    return folder_.write(name, bytes);
}

DialogResult DialogProcess::Spawn(const std::vector<std::string> &arguments,
                                  const std::filesystem::path &input) const {
    const std::string outPath = PathOf("stdout.txt").string();
    const std::string errPath = PathOf("stderr.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::string program = KVX_DIALOG_EXECUTABLE;
    std::vector<char *> argv{program.data()};
    std::vector<std::string> copies = arguments;
    for (std::string &argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);

    DialogResult result;
    pid_t child = 0;
    std::vector<char *> environment = HeadlessEnvironment();
    const int spawnError = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0) {
        ADD_FAILURE() << "cannot start " << program << ": error " << spawnError;
        return result;
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    // A debug build of the dialog warns about host objects it left alive.
    EXPECT_EQ(result.err.find("host objects alive"), std::string::npos) << result.err;
    return result;
}

}  // namespace kvx::test
