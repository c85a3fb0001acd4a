#!/usr/bin/env bash
# An office: a print server holds the Korvane queue and shares it; a desktop
# reaches it in each of the four ways offices set up. For each, plain `lp`
# prints a Private job with a DIN through the desktop, the DIN is read back
# from the server's job attributes (ipptool, as any client may) and from the
# data the printer received, and kvx-dialog is asked whether it shows the
# pane for the desktop's queue, prints the DIN typed into it, and whether a
# second dialog starts at 00000. Then the server stops and the dialog must
# still answer. The table of results is compared with office_printing.expected.
#   office_printing_test.sh KVX_DIALOG SOURCE_DIR
set -euo pipefail
shopt -s inherit_errexit

readonly dialog=$1
rig_source=$2
readonly typed_din=48213
readonly hang_guard=60  # seconds: a dialog still running then has hung

for tool in cupsd cups-browsed dbus-daemon ipptool python3; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 77; }
done

rig_work=$(mktemp -d "${TMPDIR:-/tmp}/kvx-office.XXXXXX")
chmod 0755 "$rig_work"  # the schedulers' filters run as their own user
# shellcheck source=office-rig.sh
source "$rig_source/tests/office/office-rig.sh"
cleanup() {
  rig_stop
  rm -rf "$rig_work"
}
trap cleanup EXIT

# No one's client.conf or lpoptions takes part.
mkdir -p "$rig_work/home" "$rig_work/client-root"
export HOME=$rig_work/home CUPS_SERVERROOT=$rig_work/client-root

# Runs kvx-dialog for QUEUE at the scheduler SERVER names with the script on
# stdin; prints what it says: "pane", "no pane", "hung" or its error. For
# rows 3 and 4, whose PPD CUPS and cups-browsed generate without the
# printer's options, the dialog follows the queue to the server's.
dialog() {
  local server=$1 queue=$2 status=0
  shift 2
  CUPS_SERVER=$server timeout "$hang_guard" "$dialog" --printer "$queue" --script - "$@" \
    >"$rig_work/dialog.out" 2>"$rig_work/dialog.err" || status=$?
  case $status in
    0) echo pane ;;
    3) echo "no pane" ;;
    124) echo "hung" ;;
    *) echo "exit $status: $(head -n 1 "$rig_work/dialog.err")" ;;
  esac
}

# The DIN typed into the pane, printed with kvx-dialog --print: the DIN in
# the printer's data, "-" when nothing was printed.
dialog_print() {
  local server=$1 queue=$2 before
  before=$(rig_printer_jobs)
  [[ $(printf 'choose print-mode Private (DIN)\nselect din 0 5\ntype din %s\nok\n' "$typed_din" |
    dialog "$server" "$queue" --print "$rig_work/page.txt") == pane ]] || { echo -; return; }
  rig_data_din "$(rig_wait_for_printer "$before")"
}

# What a second dialog for the queue shows: the DIN it starts with, or why
# there is none.
second_dialog() {
  local answer
  answer=$(printf 'show\n' | dialog "$1" "$2")
  [[ $answer == pane ]] && answer=$(sed -n 's/.*"din":{"text":"\([0-9]*\)".*/starts at \1/p' "$rig_work/dialog.out")
  echo "$answer"
}

row() {  # WAY SERVER QUEUE [QUEUE AS SHOWN]
  local way=$1 server=$2 queue=$3 before data
  before=$(rig_printer_jobs)
  rig_print "$server" "$queue" "$typed_din"
  data=$(rig_wait_for_printer "$before")
  printf '%-28s %-20s %-7s %-7s %-8s %s\n' "$way" "${4:-$queue}" "$(rig_server_job_din)" "$(rig_data_din "$data")" \
    "$(dialog_print "$server" "$queue")" "$(second_dialog "$server" "$queue")"
}

# The origin server is gone: the desktop's dialog answers, without a tab,
# and does not hang.
origin_stopped() {
  local queue=$1
  rig_cupsd stop "$rig_work/server"
  printf 'origin server stopped: %s %s\n' "$queue" "$(printf 'show\n' | dialog "$rig_desktop" "$queue")"
}

rig_start_server
rig_start_desktop
rig_add_ppd_queue korvane
rig_add_everywhere_queue korvane_everywhere
browsed_queue=$(rig_start_browsed)
# cups-browsed names it after the server as that reports its own host name.
browsed_queue_shown=${browsed_queue%%_*}_SERVER

{
  printf '%-49s %-15s %s\n' "" "lp's DIN in" "kvx-dialog's DIN"
  printf '%-28s %-20s %-7s %-7s %-8s %s\n' "desktop reaches server by" queue job data printed "in a second dialog"
  row "1 CUPS_SERVER" "$rig_server" korvane
  row "2 PPD queue, ipp:// device" "$rig_desktop" korvane
  row "3 lpadmin -m everywhere" "$rig_desktop" korvane_everywhere
  # CUPS removes a temporary queue that has not been used for a minute.
  rig_add_temporary_queue korvane_temporary
  row "3 temporary queue" "$rig_desktop" korvane_temporary
  row "4 cups-browsed" "$rig_desktop" "$browsed_queue" "$browsed_queue_shown"
  origin_stopped korvane_everywhere
} | tee "$rig_work/results"

diff -u "$rig_source/tests/office/office_printing.expected" "$rig_work/results"
