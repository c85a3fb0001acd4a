// libcups marks its PPD API deprecated; the floor measures exactly that API.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "scenarios.hpp"

#include <cups/ppd.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kvx::bench {
namespace {

void Require(bool ok, const char *what) {
    if (ok) return;
    std::fprintf(stderr, "kvx-bench: %s\n", what);
    std::exit(1);
}

void Nothing(BenchPane &) {}

void CheckOpens(BenchPane &pane) {
    pane.Run("show");
    Require(pane.TakeReports().starts_with("{\"print-mode\""), "the pane is not shown for the PPD");
    // The printer check echoes the model name at every open: once is enough
    // to see, a million echoes would drown the report.
    std::fflush(stderr);
    const int nowhere = open("/dev/null", O_WRONLY);
    Require(nowhere >= 0 && dup2(nowhere, STDERR_FILENO) >= 0, "stderr cannot be silenced");
    close(nowhere);
}

void OpenPane(BenchPane &pane) { pane.Open(); }

void CheckPaneShows(BenchPane &pane) {
    Require(pane.ShowPaneOnSession(), "the pane is not shown for the PPD");
    CheckOpens(pane);
}

void ShowPane(BenchPane &pane) { pane.ShowPaneOnSession(); }

void CheckPPDOpens(BenchPane &) {
    ppd_file_t *ppd = ppdOpenFile(BenchPPDPath());
    Require(ppd != nullptr, "libcups cannot open the sample PPD");
    ppdClose(ppd);
}

void OpenAndClosePPD(BenchPane &) { ppdClose(ppdOpenFile(BenchPPDPath())); }

// Private with DIN 42, the department switch on with DC 305.
void Populate(BenchPane &pane) {
    for (const char *line : {"choose print-mode Private (DIN)", "settext din 42", "choose department On", "settext dc 305"})
        pane.Run(line);
}

void PopulateAndCheckKeystroke(BenchPane &pane) {
    Populate(pane);
    pane.Run("settext din 1234");
    pane.Run("type din 5");
    pane.Run("show");
    Require(pane.TakeReports().find("\"din\":{\"text\":\"12345\"") != std::string::npos,
            "the digit key did not reach the field");
}

void FourDigitsWithCaretAtEnd(BenchPane &pane) { pane.Run("settext din 1234"); }
void DigitKey(BenchPane &pane) { pane.Run("type din 5"); }
void SyncToTicket(BenchPane &pane) { pane.Run("sync to-ticket"); }
void SyncFromTicket(BenchPane &pane) { pane.Run("sync from-ticket"); }
void Summary(BenchPane &pane) { pane.Run("summary"); }
void DropReports(BenchPane &pane) { pane.TakeReports(); }

constexpr std::array kScenarios{
    Scenario{"open_pane", CheckOpens, [](BenchPane &pane) { pane.Close(); }, OpenPane},
    Scenario{"show_pane", CheckPaneShows, Nothing, ShowPane},
    Scenario{"ppd_floor", CheckPPDOpens, Nothing, OpenAndClosePPD},
    Scenario{"keystroke", PopulateAndCheckKeystroke, FourDigitsWithCaretAtEnd, DigitKey},
    Scenario{"sync_to_ticket", Populate, Nothing, SyncToTicket},
    Scenario{"sync_from_ticket", Populate, Nothing, SyncFromTicket},
    Scenario{"summary", Populate, DropReports, Summary},
};

}  // namespace

std::span<const Scenario> Scenarios() { return kScenarios; }

const Scenario *FindScenario(std::string_view name) {
    for (const Scenario &scenario : kScenarios)
        if (scenario.name == name) return &scenario;
    return nullptr;
}

}  // namespace kvx::bench

extern "C" __attribute__((noinline)) void kvx_bench_measured_step(const kvx::bench::Scenario *scenario,
                                                                  kvx::bench::BenchPane *pane) {
    scenario->step(*pane);
}
