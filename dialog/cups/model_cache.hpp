// The per-user cache of each CUPS queue's model name, so that listing the
// printers of a server with hundreds of queues does not download every PPD.
//
// An entry is keyed by the scheduler, the queue and the queue's
// printer-config-change-time: the scheduler moves that time whenever the
// queue's PPD or options change (lpadmin -P, lpadmin -o), so an entry whose
// time differs is stale. The time counts whole seconds, so an entry is only
// kept when the scheduler's clock was already past that second when the
// queue was listed; a change within the same second would otherwise go
// unseen.
//
// The file is JSON, under $XDG_CACHE_HOME/kvx/ (else ~/.cache/kvx/), written
// to a temporary file and renamed over the old one. A cache that cannot be
// read, parsed or written is reported on stderr and treated as empty: it
// only saves time, never decides anything.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace kvx::dialog {

// $XDG_CACHE_HOME/kvx/printer-models.json, else ~/.cache/kvx/...; empty when
// neither XDG_CACHE_HOME nor HOME is set.
std::filesystem::path DefaultModelCachePath();

class ModelCache {
public:
    // Reads the file when it exists; an unreadable or corrupt file is
    // reported and the cache starts empty (and is written anew by Save).
    explicit ModelCache(std::filesystem::path path);

    // The queue's model name ("" for a queue without a PPD) when the entry's
    // configuration time is configTime; nullopt when unknown or stale.
    std::optional<std::string> Find(const std::string &scheduler, const std::string &queue,
                                    std::int64_t configTime) const;

    // Records the queue's model under configTime.
    void Remember(const std::string &scheduler, const std::string &queue, std::int64_t configTime,
                  const std::string &model);

    // Drops the scheduler's entries for every queue not in `queues`; other
    // schedulers' entries stay.
    void KeepOnly(const std::string &scheduler, const std::set<std::string> &queues);

    // Writes the file when anything changed, atomically; a failure is
    // reported, never thrown.
    void Save();

private:
    struct Entry {
        std::int64_t configTime = 0;
        std::string model;
        bool operator==(const Entry &) const = default;
    };
    using QueueEntries = std::map<std::string, Entry>;

    void Load();

    std::filesystem::path path_;
    std::map<std::string, QueueEntries> schedulers_;
    bool changed_ = false;
};

}  // namespace kvx::dialog
