// The JSON reports of the script actions `show`, `summary` and `ticket`, and
// the one way the dialog writes any JSON: one line, keys in the order made.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "Carbon.h"

namespace kvx::dialog {

using Json = nlohmann::ordered_json;

// Compact, UTF-8 as it is; bytes that are not UTF-8 become U+FFFD.
std::string FormatJson(const Json &json);

// Each control of the pane in the window: popups with position, item and
// enabled; fields with text, selection and enabled. A control that the
// window lacks is null.
std::string MakeControlsReport(WindowRef window);

// The summary's status and its rows of [title, value]; no rows unless the
// status is 0.
std::string MakeSummaryReport(OSStatus status, CFArrayRef titles, CFArrayRef values);

// Every entry of the PPD dictionary in its order, values as JSON strings,
// numbers and booleans, other values as their description.
std::string MakeTicketReport(CFDictionaryRef ppdDict);

}  // namespace kvx::dialog
