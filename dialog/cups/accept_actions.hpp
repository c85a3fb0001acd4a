// What OK does beyond writing the ticket, as the command line asked: show
// the job's options as lp arguments, store them as the queue's defaults,
// submit a file with them. The options are checked against the printer's
// PPD first, so that nothing reaches the scheduler with a value the printer
// does not offer.
#pragma once

#include <ostream>
#include <string>

#include "CoreFoundation.h"
#include "cli/options.hpp"

namespace kvx::dialog {

class AcceptActions {
public:
    // ppdPath: the PPD the session is bound to. Throws DialogError with
    // kExitUsage when the file to print cannot be read, so that a run that
    // cannot print fails before the dialog is shown.
    AcceptActions(const Options &options, std::string ppdPath, std::ostream &out);

    bool AnyRequested() const;
    // Writes the lp arguments and the job's ID as lines on `out`. Throws
    // DialogError, naming the option, when the PPD does not offer one of the
    // ticket's options; nothing is then saved or submitted.
    void Perform(CFDictionaryRef ppdDict) const;

private:
    const Options &options_;
    std::string ppdPath_;
    std::ostream &out_;
};

}  // namespace kvx::dialog
