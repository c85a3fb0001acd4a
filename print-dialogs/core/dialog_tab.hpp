// The pane's tab in one print dialog, whatever the toolkit: which pane is
// shown for the selected queue, what it starts from, how its values reach
// the dialog's own option store (on every change and at the response) and
// how a change made there reaches the pane, the DIN reset whenever a
// printer is selected, and a new start when the dialog is shown again. A
// toolkit's tab derives from it and supplies only widgets and signals.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialog_flow.hpp"

namespace kvx::print_dialogs {

// The pane of one queue as a toolkit draws it.
class TabPane {
public:
    virtual ~TabPane() = default;
    virtual const std::string &Title() const = 0;
    // Syncs the pane to its ticket and gives its choice for each of its keys.
    virtual Choices SyncToTicket() = 0;
    // A choice made outside the pane: the pane takes it and is redrawn.
    virtual void TakeChoice(const std::string &key, const std::string &choice) = 0;
    virtual void Redraw() = 0;
    // Terminates the pane; accepted when the dialog printed.
    virtual void Dismiss(bool accepted) = 0;
};

class DialogTab {
public:
    DialogTab(std::string plugInsFolder, MainLoopPoster postToMainLoop);
    virtual ~DialogTab() = default;
    DialogTab(const DialogTab &) = delete;
    DialogTab &operator=(const DialogTab &) = delete;

    // The toolkit's signals, as they come.
    void OnPrinterSelected();
    // The dialog was shown; after a hide, the application asks for a new
    // print. A show without a hide before it is the first show seen twice.
    void OnShown();
    void OnHidden() { shown_ = false; }
    // The dialog answers: the pane's values go into the dialog's options
    // before anyone reads its settings.
    void OnResponse(bool accepted);
    // Someone changed a bound option of the dialog: the pane follows.
    void OnOptionChanged(const std::string &key, const std::optional<std::string> &choice);
    // The host's run loop turns; a timer fired, the pane may have changed.
    void OnRunLoopTick();
    // After each of the person's actions in the pane.
    void AfterPaneAction();
    // The dialog goes; the derived tab calls it from its destructor too.
    void Destroy();

    const std::string &SelectedQueue() const { return flow_.SelectedQueue(); }
    bool Destroyed() const { return destroyed_; }

protected:
    struct SelectedPrinter {
        std::string cupsQueue;    // empty: not a CUPS queue
        bool hasDetails = false;  // the dialog has built the printer's option widgets
    };
    virtual SelectedPrinter Selected() = 0;
    // Sets each DIN option of the dialog to the starting digit; true when
    // the dialog shows any.
    virtual bool ResetDialogDIN() = 0;
    // The labels of the dialog's option widgets, in the dialog's order.
    virtual std::vector<std::string> OptionLabels() = 0;
    // Binds the option at the label's index to the pane's key: hidden, and
    // its changes reported with OnOptionChanged.
    virtual void BindOption(const std::string &key, size_t labelIndex) = 0;
    // Lets the bound options go; what was hidden is shown again when
    // restoreHidden, else left (the dialog goes).
    virtual void UnbindOptions(bool restoreHidden) = 0;
    virtual std::optional<std::string> OptionChoice(const std::string &key) = 0;
    // False when the option does not offer the choice.
    virtual bool ChooseOption(const std::string &key, const std::string &choice) = 0;
    virtual std::unique_ptr<TabPane> MakePane(const QueueAnswer &answer, const std::string &plugInsFolder,
                                              const Choices &starting) = 0;
    // Shows the pane in the tab, with its title, and keeps the host's run
    // loop turning; HideTab hides the tab.
    virtual void ShowInTab(TabPane &pane) = 0;
    virtual void HideTab() = 0;

private:
    void ShowPane(const QueueAnswer &answer);
    bool BindOptions(const QueueAnswer &answer);
    void Unbind(bool restoreHidden);
    void AfterModelChange();
    void WriteChoicesToDialog();
    void DismissPanes();

    std::string plugInsFolder_;
    std::map<std::string, std::unique_ptr<TabPane>> panes_;
    TabPane *shownPane_ = nullptr;
    std::vector<std::string> boundKeys_;
    bool shown_ = true;  // false from a hide until the next show
    bool writing_ = false;
    bool accepted_ = false;
    bool destroyed_ = false;
    PrintDialogFlow flow_;  // last: its answers may use all of the above
};

}  // namespace kvx::print_dialogs
