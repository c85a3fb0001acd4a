#include "help.hpp"

namespace kvx::dialog {

std::string_view HelpText() {
    return R"HELP(Usage: kvx-dialog [--ppd FILE] [--plugins DIR] [--settings FILE.plist]
                  [--save FILE.plist] --script FILE|-
       kvx-dialog --gui [--script FILE [--screenshot OUT.png]] [--gui-trace] ...
       kvx-dialog --printer QUEUE [--lp-options] [--print FILE]
                  [--save-defaults] ... --script FILE|-
       kvx-dialog --list-printers [--json]
       kvx-dialog --help

kvx-dialog is a print dialog without a display. It opens a print session for
the printer that a PPD file describes, loads the print dialog extensions
(PDE plug-ins) of a plug-ins folder, shows the first one's pane in its window
and then performs the actions of a script, as a user would.

Options (also written --option=VALUE):
  --ppd FILE         the printer's PPD (default: the sample PPD of the
                     Korvane RM-4750)
  --plugins DIR      the plug-ins folder (default: the build's PlugIns folder)
  --settings FILE    saved print settings to start from: a property list
                     whose top level is a dictionary of PPD main keys; every
                     entry goes into the print-settings ticket as it is,
                     over the queue's defaults (see "Starting values")
  --save FILE        where `ok` saves the print settings, as a property list
                     of the same form
  --script FILE      the script; - reads it from standard input
  --gui              open the dialog's window (GTK 3): a printer chooser,
                     the pane as the plug-in laid it out, the summary and
                     Cancel / Save Settings... / Print. The default when no
                     --script is given and a display is there; without a
                     display --gui ends with exit status 2. With --script
                     the window performs the script's actions first.
                     Print writes the ticket as `ok` does and reports it as
                     `ticket` does.
  --screenshot FILE  with --script: after the script, render the window to
                     a PNG file of the window's size and exit
  --gui-trace        a testing aid for the window: on stdout, a line
                     {"window":{"title":...,"width":W,"height":H,
                     "pane":[X,Y]}} whenever the window is laid out anew
                     (the pane's top-left corner in the window, or null
                     without a pane), a line {"printers":{"labels":[...],
                     "chosen":N}} when the window opens and when the
                     scheduler's queues (or why there are none) reach the
                     printer chooser, and the `show` report after every
                     action and every turn of the run loop that fired a timer
  --ignore-bad-settings
                     when the --settings file cannot be read or parsed, say
                     so and start from the defaults instead of ending with
                     exit status 2; the file is never saved over (--save
                     naming it is then an error)
  --help             this text

Printing through CUPS (the scheduler of CUPS_SERVER or client.conf; every
request gives up after 5 seconds, so a scheduler that is down is an error
with exit status 2, never a hang):
  --printer QUEUE    the printer is a CUPS queue: its PPD is fetched from the
                     scheduler into a private temporary file (removed at
                     exit) and the pane checks it. An unknown queue is an
                     error. The print settings start from the queue's
                     defaults (see "Starting values").
  --list-printers    list the scheduler's queues, one a line: name, the
                     model its PPD names (- for none), "pane" or "no pane"
                     (whether this dialog's pane serves it) and "default",
                     separated by tabs; no script is needed. Each queue's
                     model is kept in $XDG_CACHE_HOME/kvx/printer-models.json
                     (else ~/.cache/kvx/) until the queue's configuration
                     changes, so a PPD is fetched only for a queue that is
                     new or changed; a damaged or unwritable cache is said
                     on stderr and ignored
  --json             with --list-printers: one JSON array of
                     {"name","model","default","pane"}
  At `ok` (or the window's Print), in this order; before any of them each
  option of the print-settings ticket is checked against the printer's PPD,
  and an option or value that the PPD does not offer is an error naming
  the option (exit status 2): nothing is printed, saved or submitted, since
  CUPS would quietly use the default choice instead.
  --lp-options       print one line on stdout: the job's options as lp
                     arguments, "-o PrintMode=Private -o DINDigit1=0 ...",
                     quoted for a POSIX shell where needed
  --save-defaults    store the pane's options as the user's defaults for the
                     queue (the lpoptions file, as lpoptions -p QUEUE -o
                     does); with --printer only
  --print FILE       submit FILE to the queue with the job's options and
                     print the job's ID, a number, as one line on stdout;
                     with --printer only. FILE is checked at the start.
  The private-print DIN is a secret: --save-defaults never stores its
  digits (and removes any stored before), it is never read from the
  defaults, never written in a message and never shown by --list-printers.
  Only --lp-options, --save FILE and the ticket report show it, because
  they are the job itself.

Starting values:
  The print-settings ticket starts from these, each over the ones before:
  1. with --printer, the queue PPD's default choice of each of the pane's
     options (what the administrator set with lpadmin -p QUEUE -o KEY=VALUE);
  2. with --printer, the user's defaults for the queue (lpoptions -p QUEUE
     -o KEY=VALUE, or --save-defaults), those the queue's PPD offers;
  3. the --settings file, every entry as it is.
  The DIN's digits are never taken from 1 or 2. With --ppd alone the
  ticket starts from the --settings file or empty, and the pane shows its
  own starting values.

The pane:
  A pane that says it does not serve this printer is not shown; the dialog
  says so once on stderr, naming the printer's model, and goes on without
  it. A pane that fails to load in any other way (its Prologue or Initialize
  reports another error) is likewise not shown: the dialog says why and goes
  on. Actions that need the pane then end the run with exit status 3.

Script:
  One action per line. Blank lines and lines whose first non-blank
  character is # are ignored. After each action the run loop runs once, as
  an event loop's turn does, so the pane's deferred updates happen.

  Controls: print-mode, department and orientation (popups); din and dc
  (text fields).

  choose CONTROL ITEM      pick a popup item, as a click does: ITEM is a
                           1-based position (digits only) or an item's exact
                           text; the popup's value changes and a command
                           event goes to the popup
  type CONTROL TEXT        one key-down event per character (UTF-16 unit)
                           of TEXT, through the field's handlers
  key CONTROL NAME         one key: backspace, delete, left, right, home,
                           end, tab, return, enter or escape
  select CONTROL START END set the field's selection, in UTF-16 units; a
                           caret when START equals END; a position past the
                           end of the text stands for the end
  settext CONTROL TEXT     set the field's text without key events, as a
                           paste does; TEXT may be empty
  sync to-ticket           the pane writes its settings into the ticket
  sync from-ticket         the pane reads its settings from the ticket
  show                     report the controls
  summary                  report the pane's summary
  ticket                   report the print-settings ticket
  ok                       close the dialog: the pane writes the ticket,
                           --save saves it, the pane ends
  cancel                   close the dialog: the pane ends

  In choose, type and settext the argument is the rest of the line after
  the single space that follows the control name, spaces included.
  A disabled control takes no choice, key, selection or text: the dialog
  says so on stderr and goes on. After ok or cancel only ticket may follow.
  A script that ends without ok or cancel is cancelled: nothing is saved.

Reports (one JSON object per line on stdout):
  show     {"print-mode":{"position":3,"item":"Private (DIN)","enabled":true},
            "din":{"text":"42","selection":[2,2],"enabled":true},
            "department":{...},"dc":{...},"orientation":{...}}
           popups: position, item (null when no item is at that position),
           enabled; fields: text, selection [start,end], enabled
  summary  {"status":0,"rows":[["Print Mode","Private (DIN)"],["DIN","00042"]]}
           rows of [title, value]; no rows when status is not 0
  ticket   {"PrintMode":"Private","DINDigit1":"0",...}
           every entry of the ticket's PPD dictionary in its order; strings,
           numbers and booleans as such, other values as their description

Messages go to stderr, each starting with "kvx-dialog: ".

Exit status:
  0  success
  1  the host could not make the print session or its tickets
  2  bad usage: an unknown option, a missing value, a PPD, script or
     settings file that cannot be read, a settings file that is not a
     property list or whose top level is not a dictionary, a save file that
     cannot be written, or a bad script line (the message names the line
     number and the line); nothing is saved. Also: a CUPS scheduler that
     cannot be reached, an unknown queue or one without a PPD, a file to
     print that cannot be read, a job option the printer does not offer,
     or a job or defaults that the scheduler does not take
  3  an action needed the pane, but no pane is shown (the message says why
     and names the printer's model)

A debug build also checks, after everything is released, that the host holds
no more live objects than before the session was made; if it does, it lists
them on stderr. This is a warning only: the exit status stays the same.
)HELP";
}

}  // namespace kvx::dialog
