// The script language of kvx-dialog: one action per line.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Carbon.h"
#include "session/controls/pane_controls.hpp"

namespace kvx::dialog {

enum class ActionKind { Choose, Type, Key, Select, SetText, Sync, Show, Summary, Ticket, Ok, Cancel };

enum class SyncDirection { ToTicket, FromTicket };

struct Action {
    ActionKind kind = ActionKind::Show;
    const session::ControlSpec *control = nullptr;              // choose, type, key, select, settext
    std::string text;                                  // choose's item, type's and settext's text
    UniChar charCode = 0;                              // key
    ControlEditTextSelectionRec selection{};           // select
    SyncDirection direction = SyncDirection::ToTicket;  // sync
};

// A line that is not a valid action; the message says what is wrong.
class ScriptLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The line's action, or nullopt for a blank or comment line. Throws
// ScriptLineError for anything else that is not an action.
std::optional<Action> ParseScriptLine(std::string_view line);

}  // namespace kvx::dialog
