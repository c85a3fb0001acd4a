// The printer's model, as its PPD names it.
#pragma once

#include <optional>
#include <string>

#include "PrintCore.h"

namespace kvx::dialog {

// The ModelName of the PPD that the printer-info ticket is bound to; nullopt
// when the PPD does not open or has no ModelName.
std::optional<std::string> CopyPrinterModelName(PMTicketRef printerInfoTicket);

// For messages: the model in quotes, or "unknown".
std::string DescribePrinterModel(PMTicketRef printerInfoTicket);

}  // namespace kvx::dialog
