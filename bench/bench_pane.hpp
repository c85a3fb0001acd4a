// BenchPane: the dialog's pane driver on the sample PPD, with the pane shown;
// the benchmarks act on it by script lines, as every user of a pane does.
#pragma once

#include <memory>
#include <sstream>
#include <string_view>

#include "dialog/script/pane_driver.hpp"

namespace kvx::bench {

// The PPD that every scenario uses: $KVX_BENCH_PPD, else the sample PPD.
const char *BenchPPDPath();

class BenchPane {
public:
    BenchPane() { Open(); }

    // A new dialog run: print session, plug-in, pane shown. Close cancels it
    // and lets everything go.
    void Open();
    void Close() { driver_.reset(); }
    // A second pane shown and dismissed on the open run's print session:
    // the plug-in's own cost, without the dialog's parse, session and
    // loading. Whether it was shown.
    bool ShowPaneOnSession();
    // One script line and the run loop's turn after it.
    void Run(std::string_view line) { driver_->RunLine(++lineNumber_, line); }
    // The report lines written so far, then none.
    std::string TakeReports();

private:
    dialog::Options options_;
    std::ostringstream reports_;
    std::unique_ptr<dialog::PaneDriver> driver_;
    int lineNumber_ = 0;
};

}  // namespace kvx::bench
