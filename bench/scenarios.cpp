// libcups marks its PPD API deprecated; the floor measures exactly that API.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "scenarios.hpp"

#include <cups/ppd.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace kvx::bench {
namespace {

constexpr std::string_view kFourDigits = "1234";
constexpr UniChar kDigitKey = '5';

void Require(bool ok, const char *what) {
    if (ok) return;
    std::fprintf(stderr, "kvx-bench: %s\n", what);
    std::exit(1);
}

void Nothing(BenchPane &) {}

void CheckOpens(BenchPane &pane) {
    Require(pane.Open() == noErr, "the pane does not open for the sample PPD");
    Require(pane.Close() == noErr, "the pane does not terminate");
    // The printer check echoes the model name at every open: once is enough
    // to see, a million echoes would drown the report.
    std::fflush(stderr);
    const int nowhere = open("/dev/null", O_WRONLY);
    Require(nowhere >= 0 && dup2(nowhere, STDERR_FILENO) >= 0, "stderr cannot be silenced");
    close(nowhere);
}

void OpenPane(BenchPane &pane) {
    pane.Open();
    pane.Close();
}

void CheckPPDOpens(BenchPane &) {
    ppd_file_t *ppd = ppdOpenFile(BenchPPDPath());
    Require(ppd != nullptr, "libcups cannot open the sample PPD");
    ppdClose(ppd);
}

void OpenAndClosePPD(BenchPane &) { ppdClose(ppdOpenFile(BenchPPDPath())); }

void PopulateAndCheckKeystroke(BenchPane &pane) {
    pane.Populate();
    pane.SetText(kDINID, kFourDigits);
    pane.Key(kDINID, kDigitKey);
    CFStringRef text = nullptr;
    GetControlData(pane.Control(kDINID), kControlEntireControl, kControlEditTextCFStringTag, sizeof(text), &text,
                   nullptr);
    Require(text != nullptr && ToUTF8(text) == "12345", "the digit key did not reach the field");
    CFRelease(text);
}

void FourDigitsWithCaretAtEnd(BenchPane &pane) { pane.SetText(kDINID, kFourDigits); }
void DigitKey(BenchPane &pane) { pane.Key(kDINID, kDigitKey); }

void Populate(BenchPane &pane) { pane.Populate(); }
void SyncToTicket(BenchPane &pane) { pane.Sync(false); }
void SyncFromTicket(BenchPane &pane) { pane.Sync(true); }
void Summary(BenchPane &pane) { pane.Summary(); }

constexpr std::array kScenarios{
    Scenario{"open_pane", CheckOpens, [](BenchPane &pane) { pane.NewDialog(); }, OpenPane},
    Scenario{"ppd_floor", CheckPPDOpens, Nothing, OpenAndClosePPD},
    Scenario{"keystroke", PopulateAndCheckKeystroke, FourDigitsWithCaretAtEnd, DigitKey},
    Scenario{"sync_to_ticket", Populate, Nothing, SyncToTicket},
    Scenario{"sync_from_ticket", Populate, Nothing, SyncFromTicket},
    Scenario{"summary", Populate, Nothing, Summary},
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
