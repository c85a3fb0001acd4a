#include "queue_check.hpp"

#include <cups/cups.h>
#include <cups/ppd.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "cli/messages.hpp"
#include "pane/pane_host.hpp"
#include "pane/pane_keys.hpp"
#include "pane/print_session.hpp"

// The queue's PPD is what the plug-in decides on; libcups' PPD reader is
// deprecated in favour of IPP queries that do not carry it.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kvx::print_dialogs {
namespace {

// Every call to the scheduler is bounded: a scheduler that does not answer
// costs the worker this long, never the application.
constexpr int kConnectTimeoutMilliseconds = 3000;
constexpr double kRequestTimeoutSeconds = 5.0;
constexpr int kEncryptionBlocking = 1;
constexpr std::string_view kTempFilePattern = "kvx-print-XXXXXX.ppd";
constexpr int kTempFileSuffixLength = 4;  // ".ppd"
// What the pane says when its plug-in declines a printer; anything else
// that keeps the pane away is a fault worth a line on stderr.
constexpr std::string_view kDeclinedReason = "the pane is not shown for this printer";

// Answers by queue, read and written on the main loop only.
std::map<std::string, QueueAnswer> &KnownAnswers() {
    static std::map<std::string, QueueAnswer> answers;
    return answers;
}

std::string ReadFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct Fetched {
    bool found = false;
    std::string bytes;
    std::string failure;
};

// The queue's PPD as bytes; no PPD (a driverless queue) is not a failure.
Fetched FetchPPDBytes(const std::string &queue) {
    Fetched fetched;
    const std::string server = std::string(cupsServer()) + ":" + std::to_string(ippPort());
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), kEncryptionBlocking,
                                kConnectTimeoutMilliseconds, nullptr);
    if (http == nullptr) {
        fetched.failure = "the print scheduler at " + server + " does not answer";
        return fetched;
    }
    httpSetTimeout(http, kRequestTimeoutSeconds, nullptr, nullptr);
    std::array<char, PATH_MAX> path{};
    time_t modified = 0;
    const http_status_t status = cupsGetPPD3(http, queue.c_str(), &modified, path.data(), path.size());
    httpClose(http);
    if (status == HTTP_STATUS_OK) {
        fetched.found = true;
        fetched.bytes = ReadFile(path.data());
        unlink(path.data());  // a link into the scheduler's folder goes, not what it names
    } else if (status != HTTP_STATUS_NOT_FOUND) {
        fetched.failure = "cannot fetch the PPD of " + dialog::Quoted(queue) + " from the print scheduler at " +
                          server + ": " + cupsLastErrorString();
    }
    return fetched;
}

// The plug-in's own answer, as kvx-dialog asks it.
void AskPlugIn(const std::string &plugInsFolder, QueueAnswer &answer) {
    dialog::Options options;
    options.ppdPath = answer.ppd->path();
    options.plugInsFolder = plugInsFolder;
    const dialog::PrintSession session(options);
    dialog::PaneHost host(plugInsFolder, session);
    answer.paneApplies = host.IsShown();
    answer.paneTitle = host.PaneTitle();
    if (!answer.paneApplies && !host.NotShownReason().starts_with(kDeclinedReason)) {
        answer.failure = host.NotShownReason();
    }
}

struct Job {
    std::string queue;
    std::string plugInsFolder;
    QueueAnswer known;  // the last answer for the queue; its PPD may be the same
    QueueAnswer answer;
};

void RunJob(Job &job) {
    QueueAnswer &answer = job.answer;
    answer.queue = job.queue;
    const auto started = std::chrono::steady_clock::now();
    try {
        Fetched fetched = FetchPPDBytes(job.queue);
        answer.failure = fetched.failure;
        if (fetched.found && job.known.ppd && job.known.ppd->bytes() == fetched.bytes) {
            answer = job.known;
        } else if (fetched.found) {
            answer.ppd = std::make_shared<const PPDCopy>(fetched.bytes);
            AskPlugIn(job.plugInsFolder, answer);
            if (answer.paneApplies) answer.options = ReadPaneOptions(answer.ppd->path());
        }
    } catch (const std::exception &error) {
        answer.paneApplies = false;
        answer.failure = error.what();
    }
    answer.checkMilliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
}

}  // namespace

PPDCopy::PPDCopy(const std::string &bytes) : bytes_(bytes) {
    std::string path = (std::filesystem::temp_directory_path() / kTempFilePattern).string();
    const int fd = mkstemps(path.data(), kTempFileSuffixLength);  // made with mode 0600
    if (fd < 0) throw std::runtime_error("cannot make a temporary file for the printer's PPD");
    const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(fd);
    path_ = path;
    if (!written) throw std::runtime_error("cannot write the printer's PPD to " + dialog::Quoted(path));
}

PPDCopy::~PPDCopy() {
    unlink(path_.c_str());
}

void CheckQueue(const std::string &queue, const std::string &plugInsFolder, const MainLoopPoster &postToMainLoop,
                CheckCancellation cancelled, std::function<void(const QueueAnswer &)> done) {
    auto job = std::make_shared<Job>();
    job->queue = queue;
    job->plugInsFolder = plugInsFolder;
    if (const auto known = KnownAnswers().find(queue); known != KnownAnswers().end()) job->known = known->second;
    std::thread([job, postToMainLoop, cancelled = std::move(cancelled), done = std::move(done)] {
        RunJob(*job);
        postToMainLoop([job, cancelled, done] {
            if (*cancelled) return;
            if (job->answer.ppd || job->answer.failure.empty()) KnownAnswers()[job->queue] = job->answer;
            done(job->answer);
        });
    }).detach();
}

PaneOptions ReadPaneOptions(const std::string &ppdPath) {
    PaneOptions options;
    ppd_file_t *ppd = ppdOpenFile(ppdPath.c_str());
    if (ppd == nullptr) return options;
    ppdLocalize(ppd);
    const auto read = [&](std::string_view keyView) {
        const std::string key(keyView);
        const ppd_option_t *option = ppdFindOption(ppd, key.c_str());
        if (option == nullptr) return;
        // libcups hands option texts out in UTF-8, whatever the file's encoding.
        options.texts.push_back({key, option->text});
        options.defaults[key] = option->defchoice;
        for (int index = 0; index < option->num_choices; ++index) options.choices[key].insert(option->choices[index].choice);
    };
    for (const std::string_view key : dialog::kPlainPaneKeys) read(key);
    for (const std::string_view key : dialog::kSecretPaneKeys) read(key);
    ppdClose(ppd);
    return options;
}

}  // namespace kvx::print_dialogs
