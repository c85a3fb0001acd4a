#include "bench_pane.hpp"

#include <cstdlib>
#include <string>
#include <vector>

#include "dialog/cli/options.hpp"

namespace kvx::bench {

const char *BenchPPDPath() {
    const char *chosen = std::getenv("KVX_BENCH_PPD");
    return chosen != nullptr && *chosen != '\0' ? chosen : KVX_SAMPLE_PPD;
}

void BenchPane::Open() {
    driver_.reset();
    std::vector<std::string> arguments{"--ppd", BenchPPDPath(), "--script", "-"};
    std::vector<char *> argv;
    for (std::string &argument : arguments) argv.push_back(argument.data());
    options_ = dialog::ParseOptions(argv);
    driver_ = std::make_unique<dialog::PaneDriver>(options_, reports_);
}

bool BenchPane::ShowPaneOnSession() {
    session::PaneHost pane(options_.plugInsFolder, driver_->Session());
    const bool shown = pane.IsShown();
    pane.Dismiss(session::DialogOutcome::Canceled);
    return shown;
}

std::string BenchPane::TakeReports() {
    std::string reports = reports_.str();
    reports_.str({});
    return reports;
}

}  // namespace kvx::bench
