#include "dialog_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <sstream>
#include <stdexcept>

extern char **environ;

namespace kvx::test {
namespace {

constexpr std::string_view kLeakOptions = "LSAN_OPTIONS=";

// The environment, the display's variables left out on request; a sanitizer
// build's leak check learns what GTK's libraries keep.
std::vector<std::string> Environment(bool withoutDisplay) {
    std::vector<std::string> variables;
    std::string leakOptions =
        std::string(kLeakOptions) + "suppressions=" KVX_SOURCE_DIR "/tests/gui/window-libraries.supp";
    for (char **variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry = *variable;
        if (entry.starts_with(kLeakOptions)) {
            leakOptions += ":" + std::string(entry.substr(kLeakOptions.size()));
        } else if (!withoutDisplay || !(entry.starts_with("DISPLAY=") || entry.starts_with("WAYLAND_DISPLAY="))) {
            variables.emplace_back(entry);
        }
    }
    variables.push_back(leakOptions);
    return variables;
}

// The C strings of `strings`, as posix_spawn takes them; it writes to none.
std::vector<char *> Pointers(const std::vector<std::string> &strings) {
    std::vector<char *> pointers;
    for (const std::string &string : strings) pointers.push_back(const_cast<char *>(string.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

std::vector<Json> CommandResult::Reports() const {
    std::vector<Json> reports;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) reports.push_back(Json::parse(line));
    return reports;
}

pid_t StartProgram(const std::vector<std::string> &argv, const std::string &input, const std::string &errPath,
                   bool withoutDisplay, int &outRead) {
    std::array<int, 2> pipeEnds{};
    if (pipe2(pipeEnds.data(), O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(),
                                   Pointers(Environment(withoutDisplay)).data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (error != 0) {
        close(pipeEnds[0]);
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    }
    outRead = pipeEnds[0];
    return pid;
}

bool ReadSome(int fd, std::string &into, std::chrono::steady_clock::time_point until) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 0))) <= 0) return true;
    std::array<char, 4096> buffer{};
    const ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got <= 0) return false;
    into.append(buffer.data(), static_cast<size_t>(got));
    return true;
}

int Reap(pid_t pid, bool kill) {
    if (kill) ::kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

CommandResult RunCommand(const std::vector<std::string> &argv, std::chrono::milliseconds deadline,
                         bool withoutDisplay, const std::string &input) {
    const TempFolder folder;
    const std::string errPath = (folder.path() / "stderr.txt").string();
    int out = -1;
    const pid_t pid = StartProgram(argv, input, errPath, withoutDisplay, out);
    CommandResult result;
    const auto until = std::chrono::steady_clock::now() + deadline;
    bool open = true;
    while (open && std::chrono::steady_clock::now() < until) open = ReadSome(out, result.out, until);
    close(out);
    result.exitStatus = Reap(pid, open);
    result.err = ReadFile(errPath);
    return result;
}

CommandResult DialogProcess::Run(std::string_view script, std::vector<std::string> arguments) const {
    arguments.push_back("--script");
    arguments.push_back(WriteFile("test.script", script).string());
    return RunWithArguments(arguments);
}

CommandResult DialogProcess::RunWithArguments(const std::vector<std::string> &arguments,
                                              const std::string &input) const {
    std::vector<std::string> argv{KVX_DIALOG_EXECUTABLE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    CommandResult result = RunCommand(argv, 60s, true, input);
    // A debug build of the dialog warns about host objects it left alive.
    EXPECT_EQ(result.err.find("host objects alive"), std::string::npos) << result.err;
    return result;
}

}  // namespace kvx::test
