#include "dialog/cups/cups_job.hpp"

#include <cups/cups.h>

#include <filesystem>
#include <string_view>

#include "KVXHostSupport.hpp"
#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"
#include "session/options/din_policy.hpp"
#include "session/cups/ppd_file.hpp"
#include "dialog/cups/dialog_scheduler.hpp"

namespace kvx::dialog {
namespace {

constexpr int kJobRefused = 0;
constexpr std::string_view kShellSafeCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_@%+=:,./-";

void CollectOption(const void *key, const void *value, void *collected) {
    auto &options = *static_cast<JobOptions *>(collected);
    const auto keyRef = static_cast<CFTypeRef>(key);
    const auto valueRef = static_cast<CFTypeRef>(value);
    if (CFGetTypeID(keyRef) != CFStringGetTypeID()) {
        ReportMessage("a print setting whose key is not a string is left out of the job");
        return;
    }
    const std::string name = ToUTF8(static_cast<CFStringRef>(keyRef));
    if (CFGetTypeID(valueRef) != CFStringGetTypeID()) {
        ReportMessage("the print setting " + Quoted(name) + " is not a string and is left out of the job");
        return;
    }
    options.push_back({name, ToUTF8(static_cast<CFStringRef>(valueRef))});
}

std::string ShellQuoted(const std::string &argument) {
    if (!argument.empty() && argument.find_first_not_of(kShellSafeCharacters) == std::string::npos) return argument;
    std::string quoted = "'";
    for (const char character : argument) {
        if (character == '\'') {
            quoted += "'\\''";
        } else {
            quoted += character;
        }
    }
    return quoted + "'";
}

// cupsAddOption's array, freed with cupsFreeOptions.
class CupsOptions {
public:
    explicit CupsOptions(const JobOptions &options) {
        for (const JobOption &option : options) {
            count_ = cupsAddOption(option.key.c_str(), option.value.c_str(), count_, &options_);
        }
    }
    ~CupsOptions() { cupsFreeOptions(count_, options_); }
    CupsOptions(const CupsOptions &) = delete;
    CupsOptions &operator=(const CupsOptions &) = delete;

    int count() const { return count_; }
    cups_option_t *get() const { return options_; }

private:
    int count_ = 0;
    cups_option_t *options_ = nullptr;
};

}  // namespace

JobOptions CopyJobOptions(CFDictionaryRef ppdDict) {
    JobOptions options;
    CFDictionaryApplyFunction(ppdDict, CollectOption, &options);
    return options;
}

std::string FormatLpArguments(const JobOptions &options) {
    std::string arguments;
    for (const JobOption &option : options) {
        if (!arguments.empty()) arguments += ' ';
        arguments += "-o " + ShellQuoted(option.key + "=" + option.value);
    }
    return arguments;
}

void CheckJobOptions(const JobOptions &options, const session::PPDFile &ppd, const std::string &printer,
                     const std::string &notDone) {
    if (!ppd) throw DialogError(kExitUsage, "cannot read the PPD of the printer " + Quoted(printer) + "; " + notDone);
    for (const JobOption &option : options) {
        if (!ppd.HasOption(option.key.c_str())) {
            throw DialogError(kExitUsage, "the printer " + Quoted(printer) + " has no option " +
                                              Quoted(option.key) + "; " + notDone);
        }
        if (ppd.FindChoice(option.key.c_str(), option.value.c_str()) == nullptr) {
            const std::string value = session::DinPolicy::Shown(option.key, option.value);
            throw DialogError(kExitUsage, "the printer " + Quoted(printer) + " does not offer " + value +
                                              " for the option " + Quoted(option.key) + "; " + notDone);
        }
    }
}

int SubmitJob(const std::string &queue, const std::string &file, const JobOptions &options) {
    const DialogScheduler scheduler;
    const CupsOptions cupsOptions(options);
    const std::string title = std::filesystem::path(file).filename().string();
    scheduler.StartRequest();
    const int jobID = cupsPrintFile2(scheduler.get(), queue.c_str(), file.c_str(), title.c_str(),
                                     cupsOptions.count(), cupsOptions.get());
    if (jobID == kJobRefused) {
        throw DialogError(kExitUsage, "the print scheduler at " + scheduler.address() + " did not take the job for " +
                                          Quoted(queue) + ": " + session::LastSchedulerError());
    }
    return jobID;
}

}  // namespace kvx::dialog
