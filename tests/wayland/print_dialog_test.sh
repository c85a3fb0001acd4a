#!/usr/bin/env bash
# The flows that matter, like for like on a display server: an application
# prints through its own print dialog with the installed module (see
# dialog_session.sh), then the same application prints without it, and every
# warning or critical it wrote with the module it also writes without.
#   print_dialog_test.sh x11|wayland gtk3|gtk4|qt5|qt6 BUILD_DIR|installed SOURCE_DIR APPLICATION
# The flows: the Korvane queue gets the tab, and the dialog does not show
# its own widgets for the pane's keys; a choice by a click, the DIN and the
# department code by keys, Tab and Shift+Tab, and clicks into the fields,
# as the pane's rules let them through, reach the job; the next dialog's
# quick Print sends the DIN 00000; another model's queue gets no tab and no
# pane keys; a bundle that does not load leaves the dialog as it is without
# the module, plus one line. wayland runs them under a headless sway
# (sway_session.sh); x11 on the X server it is given. The installed packages
# (installed) get the flows with the module alone: their files are not the
# test's to break or take away.
display_server=$1 toolkit=$2
shift 2
[[ -x $3 || $toolkit == gtk4 ]] || { echo "needs a $toolkit application (${3:-none built})" >&2; exit 77; }
[[ $toolkit != gtk4 ]] || { command -v gtk4-print-editor && [[ -n ${DBUS_SESSION_BUS_ADDRESS:-} ]]; } >/dev/null ||
  { echo "needs gtk-4-examples and a session bus" >&2; exit 77; }
[[ $display_server == x11 ]] || source "$(dirname "$0")/sway_session.sh"
source "$(dirname "$0")/../gtk-module/dialog_session.sh" "$@"
if [[ $display_server == x11 ]]; then unset WAYLAND_DISPLAY; export GDK_BACKEND=x11 QT_QPA_PLATFORM=xcb; else start_sway; fi
source "$(dirname "$0")/applications.sh"

# ---- the flows ----------------------------------------------------------------------

jobs_on() { lpstat -W all -o "$1" | wc -l; }
print_to() {  # QUEUE: Print until the queue has one more job
  local before try wait
  before=$(jobs_on "$1")
  for ((try = 0; try < 10 && $(jobs_on "$1") == before; ++try)); do
    # Print does nothing until the dialog has the printer's details.
    press_keys alt+p
    for ((wait = 0; wait < 20 && $(jobs_on "$1") == before; ++wait)); do sleep 0.1; done
  done
  (($(jobs_on "$1") > before)) || fail "nothing printed on $1"
}
warnings_of_runs=$work/warnings
keep_warnings() {  # FILE: what the application wrote to stderr, one line each, run-specific numbers out
  grep -vE '^(kvx-print: |$)' "$work/app.err" |
    sed -E 's/\(([^:()]*):[0-9]+\)/(\1)/g; s/[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]+/T/g; s/0x[0-9a-f]+/0x/g' >>"$1" || true
}
end_run() {  # FILE [LINES]: the application quits; its warnings go to FILE
  quit_app
  finish_app "${2:-0}"
  keep_warnings "$1"
}

# ---- with the module --------------------------------------------------------------

with_module
start_printing a-korvane modal 2
open_dialog
wait_for 'tab for a-korvane shown' 1
show_pane a-korvane 1
# A click opens the print mode's popup: Private. Tab into the DIN selects
# its zeros, 482 replaces them; Tab on to the department code's popup: On
# (GTK 4 closes a popover with an animation that holds the focus a while);
# Shift+Tab back, End, x1 (digits only). A click into the DC's zeros selects
# them; a click after the DIN's digits puts the caret there: 39, five at most.
choose "$kPrintMode" Down Down
press_keys Tab
type_text 482
press_keys Tab "${popup_down[@]}"
sleep 0.5
press_keys shift+Tab End
type_text x1
click_in_pane $kDC
type_text 90517
click_in_pane $kDINEnd
type_text 39
own_options_hidden
print_to a-korvane
expect_job a-korvane "$toolkit on $display_server: the pane's values" Private 48213 true 90517
open_dialog
print_to a-korvane
expect_job a-korvane "$toolkit on $display_server: a quick Print in the next dialog sends the DIN 00000" "${next_dialog[@]}"
if [[ $toolkit == gtk* ]]; then end_run "$warnings_of_runs.with"; start_printing b-other; fi
open_dialog
other_queue
wait_for 'no pane for b-other' 1
print_to b-other
expect_job b-other "$toolkit on $display_server: another model's queue has no tab and no pane keys"
(($(count 'tab for b-other') == 0)) || fail "a tab for another model's queue"
end_run "$warnings_of_runs.with"
[[ $build != installed ]] || exit 0

# A bundle that does not load: one line, and the dialog prints as without
# the module, but for the DIN a GTK application saved, which is not sent.
# Then a pane part that does not load: one line, and it prints.
saved=(cups-PrintMode=Private cups-DINDigit{1..5}=9)
mv "$(find "$work/prefix" -path '*/KVXPDE.plugin/Contents/MacOS')" "$work/bundle-executable"
start_printing a-korvane
open_dialog
wait_for 'no pane for a-korvane' 1
print_to a-korvane
(($(count 'tab for') == 0)) || fail "a tab without a bundle"
expect_job a-korvane "$toolkit on $display_server: a broken bundle costs one line and no tab" "${without_pane[@]}"
end_run "$warnings_of_runs.with" 1
: >"$(find "$work/prefix" -name "libkvx-print-${toolkit/gtk4/gtk4-pane}.so")"
start_printing a-korvane
open_dialog
print_to a-korvane
end_run /dev/null 1

# ---- without it: the same dialogs and prints, and what the application says ----

without_module
start_printing a-korvane modal 2
open_dialog
print_to a-korvane
open_dialog
print_to a-korvane
if [[ $toolkit == gtk* ]]; then end_run "$warnings_of_runs.without"; start_printing b-other; fi
open_dialog
other_queue
print_to b-other
end_run "$warnings_of_runs.without"
start_printing a-korvane
open_dialog
print_to a-korvane
end_run "$warnings_of_runs.without"
(($(count 'kvx-print') == 0)) || fail "the module was loaded"

# Line for line: no line more often with the module than without.
added=$(awk 'FNR == NR { without[$0]++; next } ++with[$0] > without[$0]' \
  "$warnings_of_runs.without" "$warnings_of_runs.with" | sort -u)
for run in with without; do
  echo "$run the module: $(grep -c . "$warnings_of_runs.$run") warnings and criticals"
  sort "$warnings_of_runs.$run" | uniq -c
done
[[ -z $added ]] || fail "the module adds warnings:
$added"
echo "ok: $toolkit on $display_server: the module adds no warning"
