#include "dialog/cli/help.hpp"

namespace kvx::dialog {

// The synopsis and the options, one line each; kvx-dialog(1) is the
// reference for the script, the reports and the exit statuses.
std::string_view HelpText() {
    return R"HELP(Usage: kvx-dialog [--ppd FILE | --printer QUEUE] [options] --script FILE|-
       kvx-dialog --gui [--script FILE [--screenshot OUT.png]] [options]
       kvx-dialog [--printer QUEUE] [options] FILE     (the window; Print submits FILE)
       kvx-dialog --list-printers [--json]
       kvx-dialog --help
Options:
  --ppd FILE              the printer's PPD (default: the Korvane RM-4750 sample)
  --printer QUEUE         the printer is a CUPS queue
  --plugins DIR           the plug-ins folder
  --settings FILE         start from saved print settings (a property list)
  --ignore-bad-settings   start from the defaults when --settings is unusable
  --save FILE             at ok, save the print settings there
  --lp-options            at ok, print the job's options as lp arguments
  --save-defaults         at ok, store the pane's options as the queue's defaults
  --print FILE            at ok, submit FILE to the queue; print the job's ID
  --script FILE|-         perform the script's actions (- reads stdin)
  --gui                   open the window (the default with a display)
  --screenshot FILE       with --gui --script: write the window as a PNG and exit
  --gui-trace             with --gui: report the layout and controls on stdout
  --list-printers         list the CUPS queues; --json as one JSON array
  --help                  this text
Starting values: with --printer, the queue PPD's defaults, then the user's
(lpoptions), then --settings over both; the DIN's digits never come from a
default. --list-printers keeps each queue's model in
$XDG_CACHE_HOME/kvx/printer-models.json until the queue changes.
Script actions: choose, type, key, select, settext, sync, show, summary,
ticket, ok, cancel. KVX_DEBUG=1 adds the debug log (what the pane itself
says) to stderr. See kvx-dialog(1).
)HELP";
}

}  // namespace kvx::dialog
