#include "pin_policy.hpp"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <array>
#include <ctime>
#include <fstream>
#include <map>
#include <ostream>
#include <set>

#include "cupsd_conf.hpp"
#include "scheduler.hpp"

namespace kvx::admin {
namespace {

std::string Quoted(const std::string &text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Describe(const Queue &queue, const PolicyVerdict &verdict) {
    if (verdict.IsPrivate()) return queue.name + ": private (policy \"" + queue.policy + "\")";
    std::string text = queue.name + ": another user can read the DIN of its jobs: policy \"" + queue.policy + "\": ";
    for (std::size_t index = 0; index < verdict.reasons.size(); ++index) {
        text += (index == 0 ? "" : "; ") + verdict.reasons[index];
    }
    return text;
}

// cupsd's own check of a configuration file, on a private copy: empty when
// it passes, else what cupsd said. The scheduler may be on another machine;
// the file's syntax is the same, and cupsd needs no cups-files.conf for it.
std::string ValidationErrors(const std::string &text) {
    std::string folder = (std::filesystem::temp_directory_path() / "kvx-pin-policy.XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) throw AdminError("cannot make a temporary folder in " + folder);
    struct Remove {
        std::string path;
        ~Remove() { std::filesystem::remove_all(path); }
    } remove{folder};
    const std::string conf = folder + "/cupsd.conf", files = folder + "/cups-files.conf";
    std::ofstream(conf, std::ios::binary) << text;
    std::ofstream{files};

    const std::string command = "cupsd -t -c " + Quoted(conf) + " -s " + Quoted(files) + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) throw AdminError("cannot run cupsd -t to check the new cupsd.conf");
    std::string said;
    std::array<char, 512> chunk{};
    while (fgets(chunk.data(), chunk.size(), pipe) != nullptr) said += chunk.data();
    const int status = pclose(pipe);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        throw AdminError("cupsd is not installed here, and without cupsd -t the new cupsd.conf cannot be checked");
    }
    return said.empty() ? "cupsd -t failed" : said;
}

// The file as it was before a change, kept where the command runs.
std::filesystem::path Backup(const std::filesystem::path &folder, const std::string &server, const std::string &text) {
    std::string name;
    for (const char c : server) name += std::isalnum(c & 0xff) || c == '.' || c == '-' ? c : '_';
    const std::time_t now = std::time(nullptr);
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "%Y%m%dT%H%M%SZ", std::gmtime(&now));
    auto path = folder / (name + ".cupsd.conf." + stamp.data());
    for (int again = 2; std::filesystem::exists(path); ++again) {
        path = folder / (name + ".cupsd.conf." + stamp.data() + "-" + std::to_string(again));
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const mode_t before = umask(077);
    std::ofstream file(path, std::ios::binary);
    file << text;
    umask(before);
    if (!file.flush()) throw AdminError("cannot keep a backup of cupsd.conf in " + folder.string() + "; nothing was changed");
    return path;
}

void SayNoQueue(const Scheduler &scheduler, std::ostream &out) {
    out << "no " << kKorvaneModel << " queue on the scheduler at " << scheduler.address() << "\n";
}

}  // namespace

ExitStatus Check(Scheduler &scheduler, std::ostream &out) {
    const auto queues = scheduler.QueuesOfModel(kKorvaneModel);
    if (queues.empty()) {
        SayNoQueue(scheduler, out);
        return kExitDone;
    }
    const CupsdConf conf(scheduler.ReadConfiguration());
    bool allPrivate = true;
    for (const auto &queue : queues) {
        const PolicyVerdict verdict = conf.Judge(queue.policy);
        allPrivate = allPrivate && verdict.IsPrivate();
        out << Describe(queue, verdict) << "\n";
    }
    return allPrivate ? kExitDone : kExitNotPrivate;
}

ExitStatus Apply(Scheduler &scheduler, const std::filesystem::path &backupFolder, std::ostream &out) {
    const auto queues = scheduler.QueuesOfModel(kKorvaneModel);
    if (queues.empty()) SayNoQueue(scheduler, out);
    const CupsdConf conf(scheduler.ReadConfiguration());

    std::vector<Queue> exposed;
    std::set<std::string> sources;
    for (const auto &queue : queues) {
        if (conf.Judge(queue.policy).IsPrivate()) {
            out << queue.name << ": already private (policy \"" << queue.policy << "\")\n";
            continue;
        }
        if (conf.FindPolicy(queue.policy) == nullptr) {
            throw AdminError(queue.name + "'s policy \"" + queue.policy + "\" is not written in cupsd.conf; write it "
                             "out there first, then run apply again. Nothing was changed");
        }
        exposed.push_back(queue);
        sources.insert(queue.policy);
    }
    if (exposed.empty()) return kExitDone;

    std::vector<std::string> toAdd, added;
    for (const auto &source : sources) {
        if (conf.FindPolicy(PrivatePolicyName(source)) == nullptr) toAdd.push_back(source);
    }
    if (!toAdd.empty()) {
        const std::string changed = conf.WithPrivateCopies(toAdd);
        if (const std::string errors = ValidationErrors(changed); !errors.empty()) {
            out << "cupsd -t rejects cupsd.conf with the private policies added; nothing was changed:\n" << errors;
            return kExitNotPrivate;
        }
        out << "cupsd.conf before the change: " << Backup(backupFolder, scheduler.address(), conf.text()).string()
            << "\n";
        for (const auto &source : toAdd) added.push_back(PrivatePolicyName(source));
        scheduler.WriteConfiguration(changed, added, true);
    }
    for (const auto &queue : exposed) {
        const std::string policy = PrivatePolicyName(queue.policy);
        scheduler.SetPolicy(queue.name, policy, queue.formerPolicy.empty() ? queue.policy : queue.formerPolicy);
        out << queue.name << ": policy \"" << policy << "\" (was \"" << queue.policy << "\")\n";
    }
    return kExitDone;
}

ExitStatus Undo(Scheduler &scheduler, const std::filesystem::path &backupFolder, std::ostream &out) {
    const auto queues = scheduler.QueuesOfModel(kKorvaneModel);
    for (const auto &queue : queues) {
        if (queue.formerPolicy.empty()) continue;
        scheduler.SetPolicy(queue.name, queue.formerPolicy, std::nullopt);
        out << queue.name << ": policy \"" << queue.formerPolicy << "\" again\n";
    }

    const CupsdConf conf(scheduler.ReadConfiguration());
    const std::string restored = conf.WithoutPrivateCopies();
    if (restored == conf.text()) {
        out << "cupsd.conf: nothing of apply's in it\n";
        return kExitDone;
    }
    std::vector<std::string> removed;
    for (const CupsdConf after(restored); const auto &policy : conf.policies()) {
        if (after.FindPolicy(policy.name) == nullptr) removed.push_back(policy.name);
    }
    out << "cupsd.conf before the change: " << Backup(backupFolder, scheduler.address(), conf.text()).string() << "\n";
    scheduler.WriteConfiguration(restored, removed, false);
    out << "cupsd.conf: without";
    for (const auto &policy : removed) out << " " << policy;
    out << "\n";
    return kExitDone;
}

}  // namespace kvx::admin
