#include "dialog/cups/queue_models.hpp"

#include <array>
#include <atomic>
#include <optional>
#include <set>
#include <thread>

#include "dialog/cli/messages.hpp"
#include "dialog/cups/model_cache.hpp"
#include "session/session_error.hpp"

namespace kvx::dialog {
namespace {

constexpr std::array kConfigurationAttributes = {"printer-name", "printer-config-change-time",
                                                 "printer-current-time"};

}  // namespace

std::map<std::string, QueueConfiguration> ListQueueConfigurations(const DialogScheduler &scheduler) {
    ipp_t *request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kConfigurationAttributes.size()), nullptr, kConfigurationAttributes.data());
    scheduler.StartRequest();
    ipp_t *response = cupsDoRequest(scheduler.get(), request, "/");
    if (response == nullptr || ippGetStatusCode(response) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        ippDelete(response);
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) return {};  // no queues at all
        throw session::SessionError(session::FailureKind::UnusableInput,
                                    "cannot list the printers of the print scheduler at " + scheduler.address() +
                                        ": " + session::LastSchedulerError());
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

std::vector<session::ModelLookup> FetchModelNames(const DialogScheduler &scheduler, const std::vector<std::string> &queues,
                                         int bound) {
    std::vector<session::ModelLookup> lookups(queues.size());
    std::atomic<size_t> next = 0;
    // Each fetching thread on a connection of its own, every request on it
    // rearming the run's watchdog.
    const auto fetch = [&] {
        std::optional<session::SchedulerConnection> connection;
        std::string unreachable;
        try {
            connection.emplace(scheduler.connection().address(), [&scheduler] { scheduler.StartRequest(); });
        } catch (const session::SessionError &error) {
            unreachable = error.what();
        }
        for (size_t index = next++; index < queues.size(); index = next++) {
            lookups[index] = connection ? session::FetchModelName(*connection, queues[index])
                                        : session::ModelLookup{std::nullopt, unreachable};
        }
    };
    {
        std::vector<std::jthread> fetchers;
        const size_t threads = std::min(queues.size(), static_cast<size_t>(std::max(bound, 1)));
        for (size_t thread = 0; thread < threads; ++thread) fetchers.emplace_back(fetch);
    }
    return lookups;
}

std::vector<std::string> LookUpQueueModels(const DialogScheduler &scheduler,
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
    std::vector<session::ModelLookup> fetched = FetchModelNames(scheduler, unknown);
    std::optional<session::SessionError> failure;
    for (size_t fetchIndex = 0; fetchIndex < unknown.size(); ++fetchIndex) {
        session::ModelLookup &lookup = fetched[fetchIndex];
        if (!lookup.model) {
            if (!failure) {
                failure.emplace(session::FailureKind::UnusableInput,
                                "cannot fetch the PPD of " + Quoted(unknown[fetchIndex]) +
                                    " from the print scheduler at " + scheduler.address() + ": " + lookup.failure);
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
