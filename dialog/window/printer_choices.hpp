// What the window's printer chooser offers: the scheduler's CUPS queues, the
// bundled sample printer and the PPD given on the command line.
#pragma once

#include <string>
#include <vector>

#include "cli/options.hpp"

namespace kvx::dialog {

struct PrinterChoice {
    std::string label;
    std::string ppdPath;  // a PPD file; empty for a queue
    std::string queue;    // a CUPS queue; empty for a PPD file
};

// The label of the chooser's last entry, which asks for a PPD file.
constexpr std::string_view kOtherPPDLabel = "Other PPD file\u2026";

// The queues (none when the scheduler cannot be reached, which is said once
// on stderr; the options' queue in any case), then the sample printer, then
// the options' PPD if it is another.
std::vector<PrinterChoice> ListPrinterChoices(const Options &options);

// A chosen PPD file's entry, labelled with its file name.
PrinterChoice MakePPDFileChoice(const std::string &ppdPath);

// The command line's options with the choice as the printer.
Options OptionsForChoice(const PrinterChoice &choice, Options options);

}  // namespace kvx::dialog
