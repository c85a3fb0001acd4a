// What OK does beyond writing the ticket, as the command line asked: show
// the job's options as lp arguments, store them as the queue's defaults,
// submit a file with them. The options are checked against the printer's
// PPD first, so that nothing reaches the scheduler with a value the printer
// does not offer.
#pragma once

#include <ostream>
#include <string>

#include "CoreFoundation.h"
#include "dialog/cli/options.hpp"
#include "session/cups/ppd_file.hpp"

namespace kvx::dialog {

class AcceptActions {
public:
    // ppd: the session's PPD, parsed, at ppdPath; the options are checked
    // against it. Throws DialogError with kExitUsage when the file to print
    // cannot be read, so that a run that cannot print fails before the
    // dialog is shown.
    AcceptActions(const Options &options, const session::PPDFile &ppd, std::string ppdPath, std::ostream &out);

    bool AnyRequested() const;
    // Writes the lp arguments and the job's ID as lines on `out`. Throws
    // DialogError, naming the option and what was not done, when the PPD
    // does not offer one of the ticket's options; nothing is then shown,
    // saved or submitted.
    void Perform(CFDictionaryRef ppdDict) const;

private:
    std::string WhatIsNotDone() const;

    const Options &options_;
    const session::PPDFile &ppd_;
    std::string ppdPath_;
    std::ostream &out_;
};

}  // namespace kvx::dialog
