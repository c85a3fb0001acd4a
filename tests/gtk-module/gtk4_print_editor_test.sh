#!/usr/bin/env bash
# Debian's unmodified gtk4-print-editor prints with kvx-print for GTK 4,
# loaded by GLib's scan of the installed printbackends folder (see
# dialog_session.sh; no GTK_MODULES). Its Print action is called over its
# session bus, as its menu does. The Korvane queue gets the tab, and values
# given with real keys and clicks reach the job; the next dialog starts
# without the DIN; another model's queue gets no tab and no pane keys.
#   gtk4_print_editor_test.sh BUILD_DIR SOURCE_DIR
command -v gtk4-print-editor >/dev/null && command -v gdbus >/dev/null || { echo "needs gtk-4-examples" >&2; exit 77; }
source "$(dirname "$0")/dialog_session.sh" "$1" "$2" gtk4-print-editor
loader=$(find "$work/prefix" -name libkvx-print-gtk4.so)
export GTK_PATH=${loader%/4.0.0/*}
unset GTK_MODULES

jobs_on() { lpstat -W all -o "$1" | wc -l; }
print_dialog() {  # PATTERN COUNT: opens the dialog, selects a printer by Down until PATTERN x COUNT
  gdbus call --session --timeout 60 --dest org.gtk.PrintEditor4 --object-path /org/gtk/PrintEditor4 \
    --method org.gtk.Actions.Activate print '[]' '{}' >/dev/null 2>&1 &
  gtk4_dialog "$@"
}
print_to() {  # QUEUE: Print, then waits for the job
  local before
  before=$(jobs_on "$1")
  xdotool key alt+p
  for ((try = 0; try < 150 && $(jobs_on "$1") == before; ++try)); do sleep 0.1; done
}

start_app
xdotool search --sync --name 'GTK Print Editor' >/dev/null
# A screen reader finds the pane's controls, the DIN field disabled until
# Private is chosen. By keyboard: Tab from the print mode into the DIN
# selects its zeros, so 482 replaces them; Tab on to the department popup
# (opened, Down: on), Shift+Tab back, End, 1. A click into the DC's zeros
# selects them, so 90517 replaces them; a click at the end of the DIN's
# digits puts the caret there, so 3 joins them. The dialog's own widgets
# for the pane's options are not on show beside it.
print_dialog 'tab for a-korvane' 1
show_gtk4_tab a-korvane
/usr/bin/python3 "$source/tests/gui/accessibility_test.py" --in gtk4-print-editor normal
choose "$kPrintMode" Down Down
/usr/bin/python3 "$source/tests/gui/accessibility_test.py" --in gtk4-print-editor private
xdotool key Tab
xdotool type --delay 60 482
xdotool key --delay 150 Tab space Down Return shift+Tab End 1
click_in_pane $kDC
xdotool type --delay 60 90517
click_in_pane $kDINEnd
xdotool type --delay 60 3
wait_for "the dialog shows 0 of the pane's options itself"
print_to a-korvane
expect_job a-korvane "gtk4-print-editor: the pane's values" Private 48213 true 90517

print_dialog 'tab for a-korvane' 2
print_to a-korvane
expect_job a-korvane "gtk4-print-editor: a second dialog starts without the DIN" Private 00000 true 90517

# The first dialog may have passed b-other while the queues arrived.
print_dialog 'no pane for b-other' $(($(count 'no pane for b-other') + 1))
print_to b-other
expect_job b-other "gtk4-print-editor: another model's queue has no tab and no pane keys"
(($(count 'tab for b-other') == 0)) || fail "a tab for another model's queue"
xdotool windowfocus --sync "$(xdotool search --sync --name '^GTK Print Editor' | head -1)" key ctrl+q
finish_app
