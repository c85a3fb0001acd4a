#include "dialog/script/script_runner.hpp"

#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/messages.hpp"
#include "dialog/script/reports.hpp"
#include "dialog/settings/settings_file.hpp"
#include "session/controls/control_actions.hpp"

namespace kvx::dialog {
namespace {

bool NeedsPane(ActionKind kind) {
    return kind != ActionKind::Ticket && kind != ActionKind::Ok && kind != ActionKind::Cancel;
}

// Says on stderr when one of the pane's callbacks did not succeed.
void ReportPaneStatus(std::string_view what, OSStatus status) {
    if (status != noErr) ReportMessage(std::string(what) + " returned status " + std::to_string(status));
}

}  // namespace

ScriptRunner::ScriptRunner(session::PrintSession &session, session::PaneHost &pane, std::optional<std::string> savePath,
                           std::ostream &reports, std::function<void()> onAccepted)
    : session_(session),
      pane_(pane),
      savePath_(std::move(savePath)),
      reports_(reports),
      onAccepted_(std::move(onAccepted)) {}

void ScriptRunner::RunLine(int lineNumber, std::string_view line) {
    const std::string label = "line " + std::to_string(lineNumber) + ": " + Quoted(line);
    try {
        const std::optional<Action> action = ParseScriptLine(line);
        if (!action) return;
        if (closed_ && action->kind != ActionKind::Ticket) {
            throw ScriptLineError("the dialog is closed; only ticket may follow ok or cancel");
        }
        if (NeedsPane(action->kind) && !pane_.IsShown()) {
            throw DialogError(kExitNoPane, label + ": this action needs the pane; " + pane_.NotShownReason());
        }
        currentLabel_ = label;
        Perform(*action);
    } catch (const ScriptLineError &error) {
        throw DialogError(kExitUsage, label + ": " + error.what());
    }
    KVXRunLoopRunOnce();
}

void ScriptRunner::Finish() {
    if (!closed_) Close(session::DialogOutcome::Canceled);
}

void ScriptRunner::Perform(const Action &action) {
    switch (action.kind) {
        case ActionKind::Choose:
        case ActionKind::Type:
        case ActionKind::Key:
        case ActionKind::Select:
        case ActionKind::SetText:
            PerformOnControl(action);
            break;
        case ActionKind::Sync:
            if (action.direction == SyncDirection::ToTicket) {
                ReportPaneStatus(currentLabel_ + ": the pane's sync to the ticket", pane_.SyncToTicket());
            } else {
                ReportPaneStatus(currentLabel_ + ": the pane's sync from the ticket", pane_.SyncFromTicket());
            }
            break;
        case ActionKind::Show:
            Report(MakeControlsReport(pane_.DialogWindow()));
            break;
        case ActionKind::Summary: {
            CFHolder<CFArrayRef> titles;
            CFHolder<CFArrayRef> values;
            const OSStatus status = pane_.CopySummary(titles, values);
            Report(MakeSummaryReport(status, titles.get(), values.get()));
            break;
        }
        case ActionKind::Ticket:
            Report(MakeTicketReport(session_.PPDDict()));
            break;
        case ActionKind::Ok:
            Close(session::DialogOutcome::Accepted);
            break;
        case ActionKind::Cancel:
            Close(session::DialogOutcome::Canceled);
            break;
    }
}

void ScriptRunner::PerformOnControl(const Action &action) {
    const session::ControlSpec &spec = *action.control;
    ControlRef control = session::FindPaneControl(pane_.DialogWindow(), spec);
    if (control == nullptr) throw ScriptLineError("the pane has no control " + Quoted(spec.name));

    session::UserActionResult result = session::UserActionResult::Taken;
    switch (action.kind) {
        case ActionKind::Choose:
            result = session::ChoosePopupItem(control, action.text);
            break;
        case ActionKind::Type:
            result = session::TypeText(control, action.text);
            break;
        case ActionKind::Key:
            result = session::PressKey(control, action.charCode);
            break;
        case ActionKind::Select:
            result = session::SelectText(control, action.selection);
            break;
        default:
            result = session::PasteText(control, action.text);
            break;
    }

    switch (result) {
        case session::UserActionResult::Taken:
            break;
        case session::UserActionResult::ControlDisabled:
            ReportMessage(currentLabel_ + ": " + std::string(spec.name) + " is disabled and takes nothing");
            break;
        case session::UserActionResult::NoSuchItem:
            throw ScriptLineError(std::string(spec.name) + " has no item " + Quoted(action.text));
        case session::UserActionResult::InvalidText:
            throw ScriptLineError("the text is not valid UTF-8");
    }
}

// OK writes the pane into the ticket and saves it; both end the pane.
void ScriptRunner::Close(session::DialogOutcome outcome) {
    if (outcome == session::DialogOutcome::Accepted) {
        if (pane_.IsShown()) ReportPaneStatus(currentLabel_ + ": the pane's sync to the ticket", pane_.SyncToTicket());
        if (savePath_) SaveSettingsFile(session_.PPDDict(), *savePath_);
        if (onAccepted_) onAccepted_();
    }
    pane_.Dismiss(outcome);
    closed_ = true;
}

void ScriptRunner::Report(const std::string &json) {
    reports_ << json << std::endl;
}

}  // namespace kvx::dialog
