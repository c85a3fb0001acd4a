#include "private_scheduler.hpp"

#include <sys/wait.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace kvx::test {
namespace {

constexpr const char *kSchedulerScript = KVX_SOURCE_DIR "/tests/cups/private-cupsd.sh";
constexpr int kScriptSkipStatus = 77;
constexpr auto kIdlePollInterval = std::chrono::milliseconds(100);
constexpr int kIdlePolls = 150;  // 15 s

// Asks the scheduler for one job's attributes, all of them.
constexpr std::string_view kJobAttributesRequest = R"({
  OPERATION Get-Job-Attributes
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri job-uri $uri
  ATTR name requesting-user-name $user
  ATTR keyword requested-attributes all
  STATUS successful-ok
}
)";

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

std::string ShellWord(const std::string &word) {
    std::string quoted = "'";
    for (const char character : word) quoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return quoted + "'";
}

CommandResult RunCommand(const std::string &commandLine) {
    CommandResult result;
    FILE *pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> buffer{};
    size_t count = 0;
    while ((count = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), count);
    const int status = pclose(pipe);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::unique_ptr<PrivateScheduler> PrivateScheduler::Start(std::string *whyNot) {
    auto scheduler = std::make_unique<PrivateScheduler>();
    const std::filesystem::path root = scheduler->folder();
    // The queues' file devices write here as the scheduler's unprivileged user.
    std::filesystem::permissions(root, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                           std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                           std::filesystem::perms::others_exec);
    const CommandResult started =
        RunCommand(std::string("bash ") + kSchedulerScript + " start " + ShellWord((root / "cupsd").string()));
    if (started.exitStatus != 0) {
        *whyNot = started.exitStatus == kScriptSkipStatus ? "cupsd is not installed"
                                                          : "the private scheduler did not start: " + started.output;
        return nullptr;
    }
    scheduler->running_ = true;
    scheduler->address_ = Trimmed(started.output);
    for (const char *folder : {"home", "client-root", "tmp-user"}) std::filesystem::create_directories(root / folder);
    setenv("CUPS_SERVER", scheduler->address_.c_str(), 1);
    setenv("HOME", (root / "home").c_str(), 1);
    setenv("CUPS_SERVERROOT", (root / "client-root").c_str(), 1);
    setenv("TMPDIR", scheduler->TempDirectory().c_str(), 1);
    return scheduler;
}

PrivateScheduler::~PrivateScheduler() {
    if (running_) RunCommand(std::string("bash ") + kSchedulerScript + " stop " + ShellWord((folder() / "cupsd").string()));
}

std::filesystem::path PrivateScheduler::UserOptionsFile() const {
    // libcups may keep root's defaults in CUPS_SERVERROOT instead of HOME.
    const std::filesystem::path inHome = folder() / "home" / ".cups" / "lpoptions";
    return std::filesystem::exists(inHome) ? inHome : folder() / "client-root" / "lpoptions";
}

std::filesystem::path PrivateScheduler::AddQueue(const std::string &name, const std::filesystem::path &ppd) const {
    const std::filesystem::path output = folder() / ("output-" + name + ".ps");
    const CommandResult added = RunCommand("lpadmin -p " + ShellWord(name) + " -E -v " +
                                           ShellWord("file://" + output.string()) + " -P " + ShellWord(ppd.string()));
    EXPECT_EQ(added.exitStatus, 0) << added.output;
    return output;
}

bool PrivateScheduler::WaitUntilIdle(const std::string &queue) const {
    for (int poll = 0; poll < kIdlePolls; ++poll) {
        const CommandResult pending = RunCommand("lpstat -W not-completed -o " + ShellWord(queue));
        if (pending.exitStatus == 0 && pending.output.empty()) return true;
        std::this_thread::sleep_for(kIdlePollInterval);
    }
    return false;
}

std::string PrivateScheduler::JobAttributes(int jobID) const {
    const std::filesystem::path request = folder() / "get-job-attributes.test";
    std::ofstream(request) << kJobAttributesRequest;
    return RunCommand("ipptool -tv " + ShellWord("ipp://" + address_ + "/jobs/" + std::to_string(jobID)) + " " +
                      ShellWord(request.string()))
        .output;
}

int PrivateScheduler::JobCount(const std::string &queue) const {
    const CommandResult jobs = RunCommand("lpstat -W all -o " + ShellWord(queue));
    std::istringstream lines(jobs.output);
    int count = 0;
    for (std::string line; std::getline(lines, line);) count += line.rfind(queue + "-", 0) == 0 ? 1 : 0;
    return count;
}

}  // namespace kvx::test
