#include "dialog/cups/queue_defaults.hpp"

#include <cups/cups.h>

#include <span>

#include "KVXHostSupport.hpp"
#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"
#include "session/options/din_policy.hpp"
#include "session/cups/ppd_file.hpp"

namespace kvx::dialog {
namespace {

constexpr const char *kNoInstance = nullptr;
constexpr int kSetDestsSucceeded = 0;

// The queue's entry in the list, added when the user has no defaults for it yet.
cups_dest_t &FindOrAddDestination(const std::string &queue, DestinationList &dests) {
    if (cupsGetDest(queue.c_str(), kNoInstance, dests.count(), dests.begin()) == nullptr) {
        *dests.countSlot() = cupsAddDest(queue.c_str(), kNoInstance, dests.count(), dests.destsSlot());
    }
    return *cupsGetDest(queue.c_str(), kNoInstance, dests.count(), dests.begin());
}

}  // namespace

void SaveQueueDefaults(const std::string &queue, const JobOptions &options) {
    const DialogScheduler scheduler;
    DestinationList dests;
    scheduler.StartRequest();
    *dests.countSlot() = cupsGetDests2(scheduler.get(), dests.destsSlot());
    cups_dest_t &dest = FindOrAddDestination(queue, dests);
    for (const JobOption &option : options) {
        if (session::DinPolicy::IsPlain(option.key)) {
            dest.num_options = cupsAddOption(option.key.c_str(), option.value.c_str(), dest.num_options, &dest.options);
        }
    }
    session::DinPolicy::KeepOutOfDefaults([&dest](std::string_view key) {
        dest.num_options = cupsRemoveOption(std::string(key).c_str(), dest.num_options, &dest.options);
    });
    scheduler.StartRequest();
    if (cupsSetDests2(scheduler.get(), dests.count(), dests.begin()) != kSetDestsSucceeded) {
        throw DialogError(kExitUsage, "cannot save the defaults of the printer " + Quoted(queue) + ": " +
                                          session::LastSchedulerError());
    }
}

JobOptions ReadQueueDefaults(const DialogScheduler &scheduler, const std::string &queue) {
    scheduler.StartRequest();
    cups_dest_t *dest = cupsGetNamedDest(scheduler.get(), queue.c_str(), kNoInstance);
    if (dest == nullptr) return {};
    JobOptions defaults;
    for (const cups_option_t &option : std::span(dest->options, static_cast<size_t>(dest->num_options))) {
        defaults.push_back(JobOption{option.name, option.value});
    }
    cupsFreeDests(1, dest);
    return defaults;
}

void ApplyQueueDefaults(const JobOptions &defaults, const session::PPDFile &ppd, CFMutableDictionaryRef ppdDict) {
    if (!ppd) return;
    for (const JobOption &option : defaults) {
        if (session::DinPolicy::IsSecret(option.key) || ppd.FindChoice(option.key.c_str(), option.value.c_str()) == nullptr) {
            continue;
        }
        const CFHolder<CFStringRef> key(CFStringCreateWithCString(nullptr, option.key.c_str(), kCFStringEncodingUTF8));
        const CFHolder<CFStringRef> value(
            CFStringCreateWithCString(nullptr, option.value.c_str(), kCFStringEncodingUTF8));
        if (key && value) CFDictionarySetValue(ppdDict, key.get(), value.get());
    }
}

}  // namespace kvx::dialog
