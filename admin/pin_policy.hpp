// kvx-pin-policy's three commands on one scheduler: whether another user
// could read the DIN of a Korvane queue's jobs, making it private with a
// private copy of each queue's policy, and putting everything back.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace kvx::admin {

inline constexpr const char *kKorvaneModel = "Korvane RM-4750";

enum ExitStatus {
    kExitDone = 0,
    kExitNotPrivate = 1,  // check: a queue is readable; apply: cupsd -t refused the change
    kExitError = 2,
};

class Scheduler;

ExitStatus Check(Scheduler &scheduler, std::ostream &out);
ExitStatus Apply(Scheduler &scheduler, const std::filesystem::path &backupFolder, std::ostream &out);
ExitStatus Undo(Scheduler &scheduler, const std::filesystem::path &backupFolder, std::ostream &out);

}  // namespace kvx::admin
