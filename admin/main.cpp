// kvx-pin-policy: keeps the private-print DIN of Korvane queues' jobs from
// other users at a CUPS scheduler, the local one or a print server.
#include <cups/cups.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "pin_policy.hpp"
#include "scheduler.hpp"

namespace {

using namespace kvx::admin;

constexpr std::string_view kHelp = R"(Usage: kvx-pin-policy [OPTIONS] check|apply|undo

Keeps the private-print DIN and department code of jobs on Korvane RM-4750
queues from other users at a CUPS scheduler: the one CUPS_SERVER or -h
names, else the local one.

  check   says for each Korvane queue whether another user could read the DIN
          of its jobs, and why; exit status 0 only when none could
  apply   adds to cupsd.conf a private copy of each Korvane queue's policy
          (kvx-pin-POLICY: the DIN and department code in JobPrivateValues,
          Get-Jobs and Get-Job-Attributes for authenticated users only), checked
          with cupsd -t first, and puts the Korvane queues on it; other queues
          and the rest of the file stay as they are
  undo    puts the queues back on their former policies and cupsd.conf back
          as it was before apply

Options:
  -h SERVER[:PORT]   the scheduler (a host, or a domain socket's path)
  -U USER            the administrator's name, where the scheduler asks for one
  -E                 encrypt the connection
  --backup-dir DIR   where cupsd.conf is kept before each change (default:
                     /var/backups/kvx-pin-policy for root, else
                     $XDG_STATE_HOME/kvx-pin-policy)
  --help             this text

Exit status: 0 done (check: every Korvane queue private); 1 check: a queue is
not private, apply: cupsd -t rejected the change, nothing was changed;
2 bad usage or the scheduler's error, with a message.
See kvx-pin-policy(8).
)";

int Usage(const std::string &message) {
    std::cerr << "kvx-pin-policy: " << message << "\nTry 'kvx-pin-policy --help'.\n";
    return kExitError;
}

std::filesystem::path DefaultBackupFolder() {
    if (geteuid() == 0) return "/var/backups/kvx-pin-policy";
    if (const char *state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
        return std::filesystem::path(state) / "kvx-pin-policy";
    }
    const char *home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".local/state/kvx-pin-policy";
}

}  // namespace

int main(int argc, char **argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string command;
    std::filesystem::path backupFolder = DefaultBackupFolder();
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string &argument = arguments[index];
        const bool hasValue = index + 1 < arguments.size();
        if (argument == "--help") {
            std::cout << kHelp;
            return kExitDone;
        } else if (argument == "-E") {
            cupsSetEncryption(HTTP_ENCRYPTION_REQUIRED);
        } else if ((argument == "-h" || argument == "-U" || argument == "--backup-dir") && !hasValue) {
            return Usage(argument + " needs a value");
        } else if (argument == "-h") {
            cupsSetServer(arguments[++index].c_str());
        } else if (argument == "-U") {
            cupsSetUser(arguments[++index].c_str());
        } else if (argument == "--backup-dir") {
            backupFolder = arguments[++index];
        } else if (command.empty() && (argument == "check" || argument == "apply" || argument == "undo")) {
            command = argument;
        } else {
            return Usage("unknown argument \"" + argument + "\"");
        }
    }
    if (command.empty()) return Usage("say check, apply or undo");

    try {
        Scheduler scheduler;
        if (command == "check") return Check(scheduler, std::cout);
        if (command == "apply") return Apply(scheduler, backupFolder, std::cout);
        return Undo(scheduler, backupFolder, std::cout);
    } catch (const AdminError &error) {
        std::cerr << "kvx-pin-policy: " << error.what() << "\n";
        return kExitError;
    }
}
