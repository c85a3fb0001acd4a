// What the window's printer chooser offers: the command line's CUPS queue,
// the bundled sample printer and the PPD given on the command line at once;
// the scheduler's queues when its answer comes; a note in their place while
// it is awaited or when it fails.
#pragma once

#include <string>
#include <vector>

#include "dialog/cli/options.hpp"
#include "dialog/cups/printers.hpp"

namespace kvx::dialog {

struct PrinterChoice {
    std::string label;
    std::string ppdPath;  // a PPD file; empty for a queue or a note
    std::string queue;    // a CUPS queue; empty for a PPD file or a note
    bool paneApplies = false;

    // A line that says something about the list and cannot be chosen.
    bool IsNote() const { return ppdPath.empty() && queue.empty(); }
};

// The label of the chooser's last entry, which asks for a PPD file.
constexpr std::string_view kOtherPPDLabel = "Other PPD file\u2026";

// The options' queue (when one is named), the sample printer, the options'
// PPD if it is another, and a note that the scheduler's queues are awaited.
std::vector<PrinterChoice> InitialPrinterChoices(const Options &options);

// The scheduler's queues, labelled with their models, or, when there are
// none to offer, a note that says why.
std::vector<PrinterChoice> QueueChoices(const std::vector<PrinterDestination> &printers, const std::string &failure);

// A chosen PPD file's entry, labelled with its file name.
PrinterChoice MakePPDFileChoice(const std::string &ppdPath);

// The command line's options with the choice as the printer.
Options OptionsForChoice(const PrinterChoice &choice, Options options);

}  // namespace kvx::dialog
