// A private CUPS scheduler for one test program: started on 127.0.0.1 at a
// free port with its files under a temporary folder, stopped at the end.
// The program's environment points every CUPS client (the dialog, lpadmin,
// lpstat, ipptool) at it, and HOME, CUPS_SERVERROOT, TMPDIR and
// XDG_CACHE_HOME at private folders, so that no user's or system's lpoptions
// file or printer model cache is ever written.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "dialog/dialog_process.hpp"

namespace kvx::test {

// Runs a shell command line; its stdout and stderr together are in `out`.
CommandResult RunShell(const std::string &commandLine);

// Single-quotes a word for the shell.
std::string ShellWord(const std::string &word);

// The lines of the text, and the words a real shell makes of the arguments.
std::vector<std::string> Lines(const std::string &text);
std::vector<std::string> ShellWords(const std::string &arguments);

// A port on 127.0.0.1 that takes connections and never says a word.
class SilentScheduler {
public:
    SilentScheduler();
    ~SilentScheduler();
    SilentScheduler(const SilentScheduler &) = delete;
    SilentScheduler &operator=(const SilentScheduler &) = delete;
    // "127.0.0.1:PORT", as CUPS_SERVER takes it.
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int socket_;
    int port_ = 0;
};

class PrivateScheduler {
public:
    // Null, with the reason in *whyNot, when cupsd is missing or did not start.
    static std::unique_ptr<PrivateScheduler> Start(std::string *whyNot);
    PrivateScheduler() = default;
    ~PrivateScheduler();
    PrivateScheduler(const PrivateScheduler &) = delete;
    PrivateScheduler &operator=(const PrivateScheduler &) = delete;

    const std::string &address() const { return address_; }
    const std::filesystem::path &folder() const { return folder_.path(); }
    // The user's lpoptions file, where --save-defaults writes.
    std::filesystem::path UserOptionsFile() const;
    std::filesystem::path TempDirectory() const { return folder_.path() / "tmp-user"; }

    // Adds an enabled queue with the PPD that prints into a file of its own;
    // returns that file's path.
    std::filesystem::path AddQueue(const std::string &name, const std::filesystem::path &ppd) const;
    // Waits (bounded) until the queue has no job that is not completed.
    bool WaitUntilIdle(const std::string &queue) const;
    // The job's attributes as ipptool lists them: "NAME (TYPE) = VALUE" lines.
    std::string JobAttributes(int jobID) const;
    // How many jobs the queue has had, completed or not.
    int JobCount(const std::string &queue) const;

private:
    TempFolder folder_;
    std::string address_;
    bool running_ = false;
};

}  // namespace kvx::test
