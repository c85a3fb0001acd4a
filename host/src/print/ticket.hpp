// The host's ticket table: tickets are reached by 32-bit handles, because the
// pane reads a ticket's handle back from the session as a 32-bit number.
#pragma once

#include <string>

#include "PrintCore.h"

namespace kvx::host {

// The PPD file that a printer-info ticket is bound to; null for an unknown
// handle or a ticket of another kind. Valid until the ticket is released.
const std::string *FindPrinterInfoPPDPath(PMTicketRef ticket);

}  // namespace kvx::host
