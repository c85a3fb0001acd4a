// Which static text names each of the pane's controls for assistive
// technology. The interface file places every popup and field beside its
// label ("DIN:" just left of the DIN field), so the label is found from the
// controls' bounds; every toolkit's view names its widgets by this rule.
#pragma once

#include <string>

#include "Carbon.h"

namespace kvx::session {

// Among the static texts of the control's container whose bounds share rows
// with it and end left of it, the nearest; null when there is none.
ControlRef FindControlLabel(ControlRef control);

// A label's text as the name of the control it labels: without the colon
// that sets it off ("DIN:" names "DIN").
std::string AccessibleNameFromLabel(ControlRef label);

}  // namespace kvx::session
