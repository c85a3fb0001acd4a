#include "cups/queue_models.hpp"

#include <unistd.h>

#include <array>
#include <atomic>
#include <climits>
#include <set>
#include <thread>

#include "cli/dialog_error.hpp"
#include "cli/messages.hpp"
#include "cups/model_cache.hpp"
#include "cups/ppd_file.hpp"
#include "cups/printers.hpp"

// See ppd_file.hpp: the queue's PPD is what the pane is decided on.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kvx::dialog {
namespace {

constexpr int kRequestAttempts = 2;  // a kept-alive connection the scheduler closed is reopened once
constexpr size_t kReadChunk = 4096;
constexpr off_t kLongestRestToRead = 16 * 1024;
constexpr std::string_view kModelNameKeyword = "*ModelName:";
constexpr std::string_view kPPDPathPrefix = "/printers/";
constexpr std::string_view kPPDPathSuffix = ".ppd";
constexpr std::string_view kUnreservedPathBytes =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$&'()*+,;=:";
constexpr std::array kConfigurationAttributes = {"printer-name", "printer-config-change-time",
                                                 "printer-current-time"};

// A connection of a fetching thread, with the same bounds as the main one.
class FetchConnection {
public:
    FetchConnection() : http_(ConnectToScheduler()) {}
    ~FetchConnection() { httpClose(http_); }
    FetchConnection(const FetchConnection &) = delete;
    FetchConnection &operator=(const FetchConnection &) = delete;

    http_t *get() const { return http_; }

private:
    http_t *http_;
};

std::string PPDResource(const std::string &queue) {
    std::string resource(kPPDPathPrefix);
    constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    for (const char byte : queue) {
        if (kUnreservedPathBytes.find(byte) != std::string_view::npos) {
            resource += byte;
        } else {
            const auto value = static_cast<unsigned char>(byte);
            resource += '%';
            resource += kHexDigits[value >> 4];
            resource += kHexDigits[value & 0xF];
        }
    }
    return resource + std::string(kPPDPathSuffix);
}

// The value of the PPD's "*ModelName:" line as libcups reads it (what the
// quotes enclose, else the rest of the line); nullopt while the text read so
// far ends before that line does. A whole file without the line names no
// model: "".
std::optional<std::string> FindModelName(std::string_view text, bool wholeFile) {
    size_t line = 0;
    while (text.compare(line, kModelNameKeyword.size(), kModelNameKeyword) != 0) {
        line = text.find_first_of("\r\n", line);
        if (line == std::string_view::npos) return wholeFile ? std::optional<std::string>("") : std::nullopt;
        line = text.find_first_not_of("\r\n", line);
        if (line == std::string_view::npos) return wholeFile ? std::optional<std::string>("") : std::nullopt;
    }
    const size_t valueStart = text.find_first_not_of(" \t", line + kModelNameKeyword.size());
    const bool quoted = valueStart != std::string_view::npos && text[valueStart] == '"';
    const size_t from = quoted ? valueStart + 1 : valueStart;
    const size_t end = from == std::string_view::npos ? from : text.find_first_of(quoted ? "\"" : "\r\n", from);
    if (end == std::string_view::npos) {
        if (!wholeFile) return std::nullopt;
        return from == std::string_view::npos || quoted ? std::string() : std::string(text.substr(from));
    }
    std::string_view value = text.substr(from, end - from);
    if (!quoted) value = value.substr(0, value.find_last_not_of(" \t") + 1);
    return std::string(value);
}

// The whole PPD through libcups, for whatever the short route cannot take
// (a login, a queue served by another host).
ModelLookup FetchWholePPDModel(http_t *http, const std::string &queue) {
    std::array<char, PATH_MAX> fetched{};
    time_t modified = 0;
    const http_status_t status = cupsGetPPD3(http, queue.c_str(), &modified, fetched.data(), fetched.size());
    if (status == HTTP_STATUS_NOT_FOUND) return ModelLookup{std::string(), {}};
    if (status != HTTP_STATUS_OK) return ModelLookup{std::nullopt, LastSchedulerError()};
    std::string model;
    {
        const PPDFile ppd(fetched.data());
        if (ppd && ppd.get()->modelname != nullptr) model = ppd.get()->modelname;
    }
    unlink(fetched.data());
    return ModelLookup{std::move(model), {}};
}

// GET /printers/QUEUE.ppd, read until its ModelName line is in.
ModelLookup FetchModelName(http_t *http, const std::string &queue) {
    const std::string resource = PPDResource(queue);
    http_status_t status = HTTP_STATUS_ERROR;
    for (int attempt = 0; attempt < kRequestAttempts && status == HTTP_STATUS_ERROR; ++attempt) {
        if (attempt > 0 && httpReconnect2(http, kSchedulerTimeoutMilliseconds, nullptr) != 0) break;
        httpClearFields(http);
        if (httpGet(http, resource.c_str()) != 0) continue;
        do {
            status = httpUpdate(http);
        } while (status == HTTP_STATUS_CONTINUE);
    }
    if (status != HTTP_STATUS_OK) {
        if (status != HTTP_STATUS_ERROR) httpFlush(http);
        return FetchWholePPDModel(http, queue);
    }
    std::string text;
    std::array<char, kReadChunk> chunk{};
    std::optional<std::string> model;
    while (!model) {
        const ssize_t count = httpRead2(http, chunk.data(), chunk.size());
        if (count < 0) return ModelLookup{std::nullopt, "the PPD's transfer broke off"};
        text.append(chunk.data(), static_cast<size_t>(count));
        model = FindModelName(text, count == 0);
    }
    // The rest of the PPD is not needed. A short rest is read away so that
    // the connection serves the next queue; a long one costs the scheduler
    // less when the connection is dropped and made anew.
    if (httpGetRemaining(http) <= kLongestRestToRead) {
        httpFlush(http);
    } else {
        httpShutdown(http);
        httpReconnect2(http, kSchedulerTimeoutMilliseconds, nullptr);
    }
    return ModelLookup{std::move(model), {}};
}

}  // namespace

std::map<std::string, QueueConfiguration> ListQueueConfigurations(const SchedulerConnection &scheduler) {
    ipp_t *request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kConfigurationAttributes.size()), nullptr, kConfigurationAttributes.data());
    scheduler.StartRequest();
    ipp_t *response = cupsDoRequest(scheduler.get(), request, "/");
    if (response == nullptr || ippGetStatusCode(response) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        ippDelete(response);
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) return {};  // no queues at all
        throw DialogError(kExitUsage, "cannot list the printers of the print scheduler at " + scheduler.address() +
                                          ": " + LastSchedulerError());
    }
    std::map<std::string, QueueConfiguration> configurations;
    std::string name;
    QueueConfiguration configuration;
    time_t now = 0;
    const auto commit = [&] {
        configuration.settled = now > configuration.configTime;
        if (!name.empty()) configurations[name] = configuration;
        name.clear();
        configuration = {};
        now = 0;
    };
    for (ipp_attribute_t *attribute = ippFirstAttribute(response); attribute != nullptr;
         attribute = ippNextAttribute(response)) {
        const char *attributeName = ippGetName(attribute);
        if (attributeName == nullptr) {
            commit();
            continue;
        }
        const std::string_view key = attributeName;
        if (key == "printer-name" && ippGetValueTag(attribute) == IPP_TAG_NAME) {
            name = ippGetString(attribute, 0, nullptr);
        } else if (key == "printer-config-change-time" && ippGetValueTag(attribute) == IPP_TAG_INTEGER) {
            configuration.configTime = ippGetInteger(attribute, 0);
        } else if (key == "printer-current-time" && ippGetValueTag(attribute) == IPP_TAG_DATE) {
            now = ippDateToTime(ippGetDate(attribute, 0));
        }
    }
    commit();
    ippDelete(response);
    return configurations;
}

std::vector<ModelLookup> FetchModelNames(const SchedulerConnection &scheduler, const std::vector<std::string> &queues,
                                         int bound) {
    std::vector<ModelLookup> lookups(queues.size());
    std::atomic<size_t> next = 0;
    const auto fetch = [&] {
        const FetchConnection connection;
        for (size_t index = next++; index < queues.size(); index = next++) {
            if (connection.get() == nullptr) {
                lookups[index].failure = "cannot reach the print scheduler";
                continue;
            }
            scheduler.StartRequest();
            lookups[index] = FetchModelName(connection.get(), queues[index]);
        }
    };
    {
        std::vector<std::jthread> fetchers;
        const size_t threads = std::min(queues.size(), static_cast<size_t>(std::max(bound, 1)));
        for (size_t thread = 0; thread < threads; ++thread) fetchers.emplace_back(fetch);
    }
    return lookups;
}

std::vector<std::string> LookUpQueueModels(const SchedulerConnection &scheduler,
                                           const std::map<std::string, QueueConfiguration> &configurations,
                                           const std::vector<std::string> &queues, ModelCache &cache) {
    std::vector<std::string> models(queues.size());
    std::vector<std::string> unknown;
    std::vector<size_t> unknownIndices;
    for (size_t index = 0; index < queues.size(); ++index) {
        const auto configuration = configurations.find(queues[index]);
        std::optional<std::string> cached;
        if (configuration != configurations.end()) {
            cached = cache.Find(scheduler.address(), queues[index], configuration->second.configTime);
        }
        if (cached) {
            models[index] = std::move(*cached);
        } else {
            unknown.push_back(queues[index]);
            unknownIndices.push_back(index);
        }
    }
    std::vector<ModelLookup> fetched = FetchModelNames(scheduler, unknown);
    std::optional<DialogError> failure;
    for (size_t fetchIndex = 0; fetchIndex < unknown.size(); ++fetchIndex) {
        ModelLookup &lookup = fetched[fetchIndex];
        if (!lookup.model) {
            if (!failure) {
                failure.emplace(kExitUsage, "cannot fetch the PPD of " + Quoted(unknown[fetchIndex]) +
                                                " from the print scheduler at " + scheduler.address() + ": " +
                                                lookup.failure);
            }
            continue;
        }
        const auto configuration = configurations.find(unknown[fetchIndex]);
        if (configuration != configurations.end() && configuration->second.settled) {
            cache.Remember(scheduler.address(), unknown[fetchIndex], configuration->second.configTime, *lookup.model);
        }
        models[unknownIndices[fetchIndex]] = std::move(*lookup.model);
    }
    std::set<std::string> known;
    for (const auto &entry : configurations) known.insert(entry.first);
    cache.KeepOnly(scheduler.address(), known);
    // What was learnt before a failure is kept for the next run.
    cache.Save();
    if (failure) throw *failure;
    return models;
}

}  // namespace kvx::dialog
