#include "dialog/cups/model_cache.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>

#include "dialog/cli/messages.hpp"

namespace kvx::dialog {
namespace {

using Json = nlohmann::json;

constexpr std::string_view kCacheFolder = "kvx";
constexpr std::string_view kCacheFile = "printer-models.json";
constexpr std::string_view kFallbackCacheHome = ".cache";
constexpr std::string_view kTempSuffix = ".XXXXXX";
// The layout's version: a file of another version is started anew.
constexpr int kFormat = 1;
constexpr const char *kFormatKey = "format";
constexpr const char *kSchedulersKey = "schedulers";
constexpr const char *kConfigTimeKey = "config-change-time";
constexpr const char *kModelKey = "model";

void ReportCacheProblem(const std::filesystem::path &path, const std::string &problem) {
    ReportMessage("the printer model cache " + Quoted(path.string()) + " " + problem +
                  "; printers are looked up without it");
}

// Writes the text to a new file beside `path` and renames it over `path`, so
// that a reader sees the old file or the new one, never half of one.
// Returns the reason of a failure, or an empty string.
std::string ReplaceFile(const std::filesystem::path &path, const std::string &text) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return "cannot make its folder: " + error.message();
    std::string temp = path.string() + std::string(kTempSuffix);
    const int fd = mkstemp(temp.data());
    if (fd < 0) return std::string("cannot be written: ") + std::strerror(errno);
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const int writeError = errno;
    if (close(fd) != 0 || !written) {
        unlink(temp.c_str());
        return std::string("cannot be written: ") + std::strerror(written ? errno : writeError);
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        unlink(temp.c_str());
        return std::string("cannot be replaced: ") + std::strerror(renameError);
    }
    return {};
}

bool IsUTF8(const std::string &text) {
    try {
        static_cast<void>(Json(text).dump());
        return true;
    } catch (const Json::type_error &) {
        return false;
    }
}

}  // namespace

std::filesystem::path DefaultModelCachePath() {
    std::filesystem::path home;
    if (const char *cacheHome = std::getenv("XDG_CACHE_HOME"); cacheHome != nullptr && cacheHome[0] == '/') {
        home = cacheHome;
    } else if (const char *userHome = std::getenv("HOME"); userHome != nullptr && userHome[0] != '\0') {
        home = std::filesystem::path(userHome) / kFallbackCacheHome;
    } else {
        return {};
    }
    return home / kCacheFolder / kCacheFile;
}

ModelCache::ModelCache(std::filesystem::path path) : path_(std::move(path)) {
    if (!path_.empty()) Load();
}

void ModelCache::Load() {
    std::error_code error;
    if (!std::filesystem::exists(path_, error)) return;
    std::ifstream file(path_);
    if (!file) {
        ReportCacheProblem(path_, "cannot be read");
        return;
    }
    const Json document = Json::parse(file, nullptr, false);
    const auto corrupt = [&] {
        schedulers_.clear();
        changed_ = true;
        ReportCacheProblem(path_, "is damaged and will be written anew");
    };
    if (!document.is_object() || document.value(kFormatKey, 0) != kFormat ||
        !document.contains(kSchedulersKey) || !document[kSchedulersKey].is_object()) {
        corrupt();
        return;
    }
    for (const auto &[scheduler, queues] : document[kSchedulersKey].items()) {
        if (!queues.is_object()) return corrupt();
        for (const auto &[queue, entry] : queues.items()) {
            if (!entry.is_object() || !entry.contains(kConfigTimeKey) || !entry[kConfigTimeKey].is_number_integer() ||
                !entry.contains(kModelKey) || !entry[kModelKey].is_string()) {
                return corrupt();
            }
            schedulers_[scheduler][queue] = Entry{entry[kConfigTimeKey].get<std::int64_t>(),
                                                  entry[kModelKey].get<std::string>()};
        }
    }
}

std::optional<std::string> ModelCache::Find(const std::string &scheduler, const std::string &queue,
                                            std::int64_t configTime) const {
    const auto queues = schedulers_.find(scheduler);
    if (queues == schedulers_.end()) return std::nullopt;
    const auto entry = queues->second.find(queue);
    if (entry == queues->second.end() || entry->second.configTime != configTime) return std::nullopt;
    return entry->second.model;
}

void ModelCache::Remember(const std::string &scheduler, const std::string &queue, std::int64_t configTime,
                          const std::string &model) {
    // The file keeps text as UTF-8; a name in another encoding is looked up
    // each time rather than kept altered.
    if (!IsUTF8(queue) || !IsUTF8(model)) {
        if (const auto queues = schedulers_.find(scheduler); queues != schedulers_.end()) {
            changed_ |= queues->second.erase(queue) > 0;
        }
        return;
    }
    Entry &entry = schedulers_[scheduler][queue];
    const Entry wanted{configTime, model};
    if (entry == wanted) return;
    entry = wanted;
    changed_ = true;
}

void ModelCache::KeepOnly(const std::string &scheduler, const std::set<std::string> &queues) {
    const auto known = schedulers_.find(scheduler);
    if (known == schedulers_.end()) return;
    changed_ |= std::erase_if(known->second, [&](const auto &entry) { return !queues.contains(entry.first); }) > 0;
    if (known->second.empty()) schedulers_.erase(known);
}

void ModelCache::Save() {
    if (!changed_ || path_.empty()) return;
    Json schedulers = Json::object();
    for (const auto &[scheduler, queues] : schedulers_) {
        Json entries = Json::object();
        for (const auto &[queue, entry] : queues) {
            entries[queue] = {{kConfigTimeKey, entry.configTime}, {kModelKey, entry.model}};
        }
        schedulers[scheduler] = std::move(entries);
    }
    const Json document = {{kFormatKey, kFormat}, {kSchedulersKey, std::move(schedulers)}};
    const std::string text = document.dump() + '\n';
    if (const std::string problem = ReplaceFile(path_, text); !problem.empty()) {
        ReportCacheProblem(path_, problem);
        return;
    }
    changed_ = false;
}

}  // namespace kvx::dialog
