#include "private_scheduler.hpp"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace kvx::test {
namespace {

constexpr const char *kSchedulerScript = KVX_SOURCE_DIR "/tests/cups/private-cupsd.sh";
constexpr int kScriptSkipStatus = 77;
constexpr auto kIdlePollInterval = std::chrono::milliseconds(100);
constexpr int kIdlePolls = 150;  // 15 s

}  // namespace

std::string ShellWord(const std::string &word) {
    std::string quoted = "'";
    for (const char character : word) quoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return quoted + "'";
}

CommandResult RunShell(const std::string &commandLine) {
    return RunCommand({"sh", "-c", commandLine + " 2>&1"}, 120s);
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> ShellWords(const std::string &arguments) {
    return Lines(RunShell("printf '%s\\n' " + arguments).out);
}

std::unique_ptr<PrivateScheduler> PrivateScheduler::Start(std::string *whyNot) {
    auto scheduler = std::make_unique<PrivateScheduler>();
    const std::filesystem::path root = scheduler->folder();
    // The queues' file devices write here as the scheduler's unprivileged user.
    std::filesystem::permissions(root, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                           std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                           std::filesystem::perms::others_exec);
    const CommandResult started =
        RunShell(std::string("bash ") + kSchedulerScript + " start " + ShellWord((root / "cupsd").string()));
    if (started.exitStatus != 0) {
        *whyNot = started.exitStatus == kScriptSkipStatus ? "cupsd is not installed"
                                                          : "the private scheduler did not start: " + started.out;
        return nullptr;
    }
    scheduler->running_ = true;
    scheduler->address_ = Lines(started.out).at(0);
    for (const char *folder : {"home", "client-root", "tmp-user", "cache-home"}) std::filesystem::create_directories(root / folder);
    setenv("CUPS_SERVER", scheduler->address_.c_str(), 1);
    setenv("HOME", (root / "home").c_str(), 1);
    setenv("CUPS_SERVERROOT", (root / "client-root").c_str(), 1);
    setenv("TMPDIR", scheduler->TempDirectory().c_str(), 1);
    setenv("XDG_CACHE_HOME", (root / "cache-home").c_str(), 1);
    return scheduler;
}

PrivateScheduler::~PrivateScheduler() {
    if (running_) RunShell(std::string("bash ") + kSchedulerScript + " stop " + ShellWord((folder() / "cupsd").string()));
}

std::filesystem::path PrivateScheduler::UserOptionsFile() const {
    // libcups may keep root's defaults in CUPS_SERVERROOT instead of HOME.
    const std::filesystem::path inHome = folder() / "home" / ".cups" / "lpoptions";
    return std::filesystem::exists(inHome) ? inHome : folder() / "client-root" / "lpoptions";
}

std::filesystem::path PrivateScheduler::AddQueue(const std::string &name, const std::filesystem::path &ppd) const {
    const std::filesystem::path output = folder() / ("output-" + name + ".ps");
    const CommandResult added = RunShell("lpadmin -p " + ShellWord(name) + " -E -v " +
                                           ShellWord("file://" + output.string()) + " -P " + ShellWord(ppd.string()));
    EXPECT_EQ(added.exitStatus, 0) << added.out;
    return output;
}

bool PrivateScheduler::WaitUntilIdle(const std::string &queue) const {
    for (int poll = 0; poll < kIdlePolls; ++poll) {
        const CommandResult pending = RunShell("lpstat -W not-completed -o " + ShellWord(queue));
        if (pending.exitStatus == 0 && pending.out.empty()) return true;
        std::this_thread::sleep_for(kIdlePollInterval);
    }
    return false;
}

// ipptool's own request, which asks for no attributes in particular: all of them.
std::string PrivateScheduler::JobAttributes(int jobID) const {
    return RunShell("ipptool -tv " + ShellWord("ipp://" + address_ + "/jobs/" + std::to_string(jobID)) +
                    " get-job-attributes.test")
        .out;
}

int PrivateScheduler::JobCount(const std::string &queue) const {
    const CommandResult jobs = RunShell("lpstat -W all -o " + ShellWord(queue));
    std::istringstream lines(jobs.out);
    int count = 0;
    for (std::string line; std::getline(lines, line);) count += line.rfind(queue + "-", 0) == 0 ? 1 : 0;
    return count;
}

SilentScheduler::SilentScheduler() : socket_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(socket_, reinterpret_cast<sockaddr *>(&address), length);
    listen(socket_, 8);
    getsockname(socket_, reinterpret_cast<sockaddr *>(&address), &length);
    port_ = ntohs(address.sin_port);
}

SilentScheduler::~SilentScheduler() { close(socket_); }

}  // namespace kvx::test
