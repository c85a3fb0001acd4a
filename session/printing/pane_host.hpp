// The dialog's side of a print dialog extension: loads the plug-ins, shows
// the pane in the dialog's window and drives its callbacks, from prologue to
// terminate.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "KVXHostSupport.hpp"
#include "session/printing/host_holders.hpp"
#include "session/printing/print_session.hpp"

namespace kvx::session {

enum class DialogOutcome { Accepted, Canceled };

// The summary's rows: each a title and a value.
using SummaryRows = std::vector<std::pair<std::string, std::string>>;

class PaneHost {
public:
    // Loads the PDE plug-ins of the folder and shows the first one's pane
    // for the session; when none can be shown, says why on stderr. Throws
    // SessionError (unusable input) when the folder cannot be read.
    PaneHost(const std::string &plugInsFolder, const PrintSession &session);
    ~PaneHost();
    PaneHost(const PaneHost &) = delete;
    PaneHost &operator=(const PaneHost &) = delete;

    bool IsShown() const { return shown_; }
    // Why no pane is shown, naming the printer's model.
    const std::string &NotShownReason() const { return notShownReason_; }
    // The title that the pane's Prologue reported; empty before.
    const std::string &PaneTitle() const { return paneTitle_; }
    WindowRef DialogWindow() const { return window_.get(); }

    // The pane's callbacks; only while the pane is shown.
    OSStatus SyncToTicket();
    OSStatus SyncFromTicket();
    // On status 0, new arrays of row titles and values.
    OSStatus CopySummary(CFHolder<CFArrayRef> &titles, CFHolder<CFArrayRef> &values);
    // The summary as rows of text; none when the pane gives none.
    SummaryRows Summary();

    // Closes and terminates the pane, then lets go of the plug-in and the
    // window. Does nothing the second time.
    void Dismiss(DialogOutcome outcome);

private:
    void AdoptFirstPane(const std::string &plugInsFolder);
    void Show(const std::string &plugInsFolder);
    OSStatus MakeDialogWindow(UInt32 width, UInt32 height);
    void GiveUp(const std::string &cause);

    PMPrintSession session_;
    std::string printerModel_;  // for the message when no pane is shown
    // Declared in the reverse of the order in which they go.
    WindowHolder window_;
    InstanceHolder instance_;
    InterfaceHolder interface_;
    ControlRef userPane_ = nullptr;  // the pane's parent, owned by the window
    PMPDEContext context_ = nullptr;
    bool shown_ = false;
    std::string notShownReason_;
    std::string paneTitle_;
};

}  // namespace kvx::session
