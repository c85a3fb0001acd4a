// The printer's model, as its PPD names it.
#pragma once

#include <string>

#include "session/cups/ppd_file.hpp"

namespace kvx::session {

// For messages: the PPD's ModelName in quotes, or "unknown" when the PPD
// does not parse or names no model.
std::string DescribePrinterModel(const PPDFile &ppd);

}  // namespace kvx::session
