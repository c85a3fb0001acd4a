// What the tab's lifecycle (tab_lifecycle.hpp) asks of one toolkit's print
// dialog: the printer it has selected, its own store of the job's options,
// the widgets that show a queue's pane and the tab they are shown in, and a
// timer. GTK 3, GTK 4 and Qt each implement it with their widgets and
// signals; the lifecycle's tests with a fake.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "session/options/din_policy.hpp"
#include "session/printing/pane_host.hpp"
#include "session/tab/queue_check.hpp"

namespace kvx::session {

class PaneSession;

// How often a shown pane's toolkit turns the host's run loop, so that the
// pane's timers fire soon after they are due.
constexpr int kRunLoopTickMilliseconds = 50;

// The dialog's own store of the job's options, through which alone the
// pane's values reach the job (GTK's option widgets, Qt's CUPS options of
// the print engine). Set writes a pane's choice; false when the store does
// not offer it.
class DialogOptions : public SettingsStore {
public:
    // When the DIN this store holds goes to the starting digit: GTK fills
    // its option widgets from the application's settings and the queue's
    // defaults as a printer is selected; Qt makes the job's options from
    // them only when the dialog is accepted.
    enum class DinReset { OnPrinterSelected, OnAcceptedWithoutPane };
    virtual DinReset WhenDinIsReset() const = 0;

    // Puts the store's option for each of the answer's pane keys into the
    // pane's hands (hidden from the person, its changes reported to the
    // lifecycle): empty, or what keeps a key from reaching the job, and
    // then no pane is shown.
    virtual std::string Bind(const QueueAnswer &answer) = 0;
    // Lets them go: what was hidden shows again when restoreHidden, else is
    // left as it is (the dialog goes).
    virtual void Unbind(bool restoreHidden) = 0;
    // What the store holds for a pane key now, if anything.
    virtual std::optional<std::string> Choice(const std::string &key) = 0;
};

// The widgets that show one queue's pane session, with its summary.
class TabContent {
public:
    virtual ~TabContent() = default;
    // Redraws the pane's widgets from the host's controls, and the summary.
    virtual void Draw(const SummaryRows &summary) = 0;
};

class TabToolkit {
public:
    virtual ~TabToolkit() = default;

    struct SelectedPrinter {
        std::string cupsQueue;   // empty: not a CUPS queue
        bool hasDetails = true;  // the dialog has built the printer's option widgets
    };
    virtual SelectedPrinter Selected() = 0;
    virtual DialogOptions &Options() = 0;
    // The widgets for the queue's pane; afterAction runs after each of the
    // person's actions in them. Throws std::exception when they cannot be made.
    virtual std::unique_ptr<TabContent> MakeContent(PaneSession &session, std::function<void()> afterAction) = 0;
    // Shows the content in the tab under the pane's title; HideTab hides the tab.
    virtual void ShowInTab(TabContent &content, const std::string &title) = 0;
    virtual void HideTab() = 0;
    // While a pane is shown the lifecycle's OnRunLoopTick is called every
    // so often, so that the host's timers fire.
    virtual void StartRunLoopTimer() = 0;
    virtual void StopRunLoopTimer() = 0;
};

}  // namespace kvx::session
