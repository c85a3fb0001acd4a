#include "dialog/script/pane_driver.hpp"

#include <string>

#include "dialog/settings/starting_settings.hpp"

namespace kvx::dialog {

namespace {

// A queue is fetched here unless the caller brings it.
std::optional<FetchedQueue> QueueOf(const Options &options, std::optional<FetchedQueue> fetched) {
    if (!options.printerQueue || fetched) return fetched;
    return FetchQueue(*options.printerQueue);
}

session::PrintSession MakeSession(const Options &options, const std::optional<FetchedQueue> &queue) {
    if (queue) return session::PrintSession(queue->ppd);
    return session::PrintSession(options.ppdPath);
}

// The ticket holds the starting settings before the pane first reads it.
const session::PrintSession &Started(const session::PrintSession &session, const Options &options,
                                     const std::optional<FetchedQueue> &queue) {
    LoadStartingSettings(options, session.PPD(), queue ? queue->userDefaults : JobOptions(), session.PPDDict());
    return session;
}

}  // namespace

PaneDriver::PaneDriver(Options options, std::ostream &reports, std::optional<FetchedQueue> fetched)
    : options_(std::move(options)),
      queue_(QueueOf(options_, std::move(fetched))),
      session_(MakeSession(options_, queue_)),
      acceptActions_(options_, Started(session_, options_, queue_).PPD(), session_.PPDPath(), reports),
      pane_(options_.plugInsFolder, session_),
      runner_(session_, pane_, options_.savePath, reports, [this] { acceptActions_.Perform(session_.PPDDict()); }) {}

void PaneDriver::RunScript(std::istream &script) {
    std::string line;
    for (int lineNumber = 1; std::getline(script, line); ++lineNumber) runner_.RunLine(lineNumber, line);
    runner_.Finish();
}

}  // namespace kvx::dialog
