#include "gui_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char **environ;

namespace kvx::test {
namespace {

constexpr std::array<std::string_view, 2> kDisplayVariables{"DISPLAY=", "WAYLAND_DISPLAY="};

constexpr std::string_view kLeakOptionsVariable = "LSAN_OPTIONS=";

// The environment's entries, the display's left out on request; a
// sanitizer build's leak check learns what GTK's libraries keep.
std::vector<std::string> Environment(bool withoutDisplay) {
    std::vector<std::string> variables;
    std::string leakOptions = std::string(kLeakOptionsVariable) + "suppressions=" KVX_WINDOW_LEAK_SUPPRESSIONS;
    for (char **variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry = *variable;
        bool drop = false;
        for (const std::string_view name : kDisplayVariables) drop = drop || (withoutDisplay && entry.starts_with(name));
        if (entry.starts_with(kLeakOptionsVariable)) {
            leakOptions += ":" + std::string(entry.substr(kLeakOptionsVariable.size()));
            drop = true;
        }
        if (!drop) variables.emplace_back(entry);
    }
    variables.push_back(leakOptions);
    return variables;
}

// Spawns argv with stdout into a pipe (returned) and stderr into errPath.
pid_t Spawn(const std::vector<std::string> &argv, const std::string &errPath, bool withoutDisplay, int &outRead) {
    std::array<int, 2> pipeEnds{};
    if (pipe2(pipeEnds.data(), O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> copies = argv;
    std::vector<char *> arguments;
    for (std::string &argument : copies) arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    std::vector<std::string> variables = Environment(withoutDisplay);
    std::vector<char *> environment;
    for (std::string &variable : variables) environment.push_back(variable.data());
    environment.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (error != 0) {
        close(pipeEnds[0]);
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    }
    outRead = pipeEnds[0];
    return pid;
}

// Appends what the pipe holds, waiting until `until`; false at its end.
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
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadWholeFile(const std::filesystem::path &path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

CommandResult RunCommand(const std::vector<std::string> &argv, std::chrono::milliseconds deadline,
                         bool withoutDisplay) {
    const TempFolder folder;
    const std::string errPath = (folder.path() / "stderr.txt").string();
    int out = -1;
    const pid_t pid = Spawn(argv, errPath, withoutDisplay, out);
    CommandResult result;
    const auto until = std::chrono::steady_clock::now() + deadline;
    bool open = true;
    while (open && std::chrono::steady_clock::now() < until) open = ReadSome(out, result.out, until);
    close(out);
    result.exitStatus = Reap(pid, open);
    result.err = ReadWholeFile(errPath);
    return result;
}

RunningDialog::RunningDialog(const std::vector<std::string> &arguments) {
    std::vector<std::string> argv{KVX_DIALOG_EXECUTABLE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    pid_ = Spawn(argv, (folder_.path() / "stderr.txt").string(), false, out_);
}

RunningDialog::~RunningDialog() {
    close(out_);
    ::kill(pid_, SIGTERM);
    Reap(pid_, false);
}

JsonValue RunningDialog::WaitFor(const std::function<bool(const JsonValue &)> &predicate,
                                 std::chrono::milliseconds deadline) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        while (looked_ < lines_.size()) {
            const JsonValue &line = lines_[looked_++];
            if (predicate(line)) return line;
        }
        if (std::chrono::steady_clock::now() >= until || !ReadMore(until)) {
            throw std::runtime_error("the window never reported what the test waited for; it said:\n" + Transcript());
        }
    }
}

bool RunningDialog::ReadMore(std::chrono::steady_clock::time_point until) {
    const bool open = ReadSome(out_, pending_, until);
    for (size_t newline = pending_.find('\n'); newline != std::string::npos; newline = pending_.find('\n')) {
        rawLines_.push_back(pending_.substr(0, newline));
        lines_.push_back(ParseJson(rawLines_.back()));
        pending_.erase(0, newline + 1);
    }
    return open;
}

std::string RunningDialog::Transcript() const {
    std::ostringstream text;
    for (const std::string &line : rawLines_) text << line << '\n';
    text << "stderr:\n" << ReadWholeFile(folder_.path() / "stderr.txt");
    return text.str();
}

}  // namespace kvx::test
