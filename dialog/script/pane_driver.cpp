#include "script/pane_driver.hpp"

#include <string>

namespace kvx::dialog {

PaneDriver::PaneDriver(Options options, std::ostream &reports, std::optional<FetchedQueue> fetched)
    : options_(std::move(options)),
      session_(options_, std::move(fetched)),
      acceptActions_(options_, session_.PPD(), session_.PPDPath(), reports),
      pane_(options_.plugInsFolder, session_),
      runner_(session_, pane_, options_.savePath, reports, [this] { acceptActions_.Perform(session_.PPDDict()); }) {}

void PaneDriver::RunScript(std::istream &script) {
    std::string line;
    for (int lineNumber = 1; std::getline(script, line); ++lineNumber) runner_.RunLine(lineNumber, line);
    runner_.Finish();
}

}  // namespace kvx::dialog
