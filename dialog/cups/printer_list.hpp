// The --list-printers report: each CUPS destination with its model and
// whether the pane applies, as text lines or as one JSON array.
#pragma once

#include <string>
#include <vector>

#include "dialog/cups/printers.hpp"

namespace kvx::dialog {

// One line per printer: NAME, MODEL ("-" when the queue has no PPD), "pane"
// or "no pane", and "default" for the default one, separated by tabs.
std::string FormatPrinterList(const std::vector<PrinterDestination> &printers);

// [{"name":...,"model":...,"default":...,"pane":...}, ...] on one line.
std::string FormatPrinterListJson(const std::vector<PrinterDestination> &printers);

}  // namespace kvx::dialog
