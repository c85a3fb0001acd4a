#!/usr/bin/env bash
# A Qt application, unmodified, prints through Qt's own QPrintDialog with
# kvx-print's print-support plug-in installed in a temporary prefix (see
# dialog_session.sh): Qt 5's textedit example, which Qt 5 gives the plug-in
# with no variable, or a small Qt 6 program, given it by QT_PRINTER_MODULE.
# The Korvane queue gets the tab; values typed with real keys, as the pane's
# rules let them through, reach the job over the Properties' Advanced
# choices (the user's lpoptions hold a DIN there); the next print (a new
# dialog in textedit, the same one shown again in the Qt 6 program) starts
# without the DIN; another model's queue gets no tab and no pane keys; Qt 6
# without the variable prints as before.
#   qt_print_dialog_test.sh QT_MAJOR BUILD_DIR|installed SOURCE_DIR APPLICATION
version=$1
shift
[[ -x ${3:-} ]] || { echo "needs a Qt $version application (${3:-none built})" >&2; exit 77; }
source "$(dirname "$0")/../gtk-module/dialog_session.sh" "$@"
unset GTK_PATH GTK_MODULES
source "$(dirname "$0")/qt_dialog.sh" "$version"
lpoptions -d a-korvane >/dev/null

jobs_on() { lpstat -W all -o "$1" | wc -l; }
print_to() {  # QUEUE: Print, then waits for the job
  local before
  before=$(jobs_on "$1")
  xdotool windowfocus --sync "$window" key alt+p
  for ((try = 0; try < 150 && $(jobs_on "$1") == before; ++try)); do sleep 0.1; done
}
start_app
qt_print_dialog 'tab for a-korvane shown' 1
qt_show_tab a-korvane 1
choose "$kPrintMode" Down Down
# A click into a field's zeros selects them; the pane's rules: digits only, five at most.
click_in_pane $kDIN
type_text 4x82139
choose "$kDepartment" Down
click_in_pane $kDC
type_text 90517
# Properties, Advanced: the pane's keys are not there to contradict it.
xdotool key alt+r
wait_for "Advanced shows 0 of the pane's options" 1
xdotool key Return
print_to a-korvane
expect_job a-korvane "Qt $version: the pane's values" Private 48213 true 90517

qt_print_dialog 'tab for a-korvane shown' 2
print_to a-korvane
expect_job a-korvane "Qt $version: the next print starts from the queue's defaults, the DIN at 00000" Normal 00000 false 00000

qt_print_dialog 'tab for a-korvane shown' 3
xdotool key alt+n b
wait_for 'no pane for b-other' 1
print_to b-other
expect_job b-other "Qt $version: another model's queue has no tab and no pane keys"
(($(count 'tab for b-other') == 0)) || fail "a tab for another model's queue"
qt_quit
finish_app

if ((version > 5)); then
  unset QT_PRINTER_MODULE
  start_app
  xdotool windowfocus --sync "$(qt_main_window)" key ctrl+p
  window=$(xdotool search --sync --name '^Print' | head -1)
  xdotool windowfocus --sync "$window"
  print_to a-korvane
  (($(count 'kvx-print') == 0)) || fail "Qt 6 loaded the plug-in without QT_PRINTER_MODULE"
  qt_quit
  finish_app
  echo "ok: Qt 6 without QT_PRINTER_MODULE prints as before"
fi
