#!/usr/bin/env bash
# print_app, an ordinary GTK 3 application (a modal and an async
# GtkPrintOperation, its own GtkPrintUnixDialog and GtkPrintJob), prints with
# kvx-print; see dialog_session.sh.
#   print_dialog_test.sh BUILD_DIR SOURCE_DIR PRINT_APP
source "$(dirname "$0")/dialog_session.sh" "$@"

# ---- scenarios -----------------------------------------------------------------

# Modal GtkPrintOperation, twice in one application: the pane's values reach
# the job; the next dialog keeps them, except the DIN, which neither the
# application's settings nor the queue's defaults start; the dialog's own
# widgets for the pane's options are not on show beside it. By keyboard: Tab
# from the print mode into the DIN selects its zeros, so 482 replaces them;
# Tab on to the department popup (Down: on), Shift+Tab back, End, 1. A click
# into the DC's zeros selects them, so 90517 replaces them; a click at the
# end of the DIN's digits puts the caret there, so 3 joins them.
start_app modal a-korvane 2
dialog_after 'pane of a-korvane at'
wait_for "the dialog shows 0 of the pane's options itself"
show_tab
choose "$kPrintMode" Down Down
xdotool key Tab
xdotool type --delay 60 482
xdotool key --delay 150 Tab Down shift+Tab End 1
click_in_pane $kDC
xdotool type --delay 60 90517
click_in_pane $kDINEnd
xdotool type --delay 60 3
print_now 1
expect_job a-korvane "modal: the pane's values" Private 48213 true 90517
dialog_after 'tab for a-korvane' 2
print_now 2
expect_job a-korvane "modal: a second dialog starts without the DIN" Private 00000 true 90517
finish_app

# Async GtkPrintOperation on another model's queue: no tab, no pane keys.
start_app async b-other 1
dialog_after 'no pane for b-other'
print_now 1
expect_job b-other "async: another model's queue has no tab and no pane keys"
finish_app
(($(count 'tab for') == 0)) || fail "a tab for another model's queue"

# The application's own GtkPrintUnixDialog and GtkPrintJob, on a queue whose
# PPD turns the department code on: the pane starts with it on; values typed,
# then another printer and back, then print; the same dialog shown again
# starts without the DIN.
start_app unix c-dept 2
dialog_after 'pane of c-dept at'
show_tab
choose "$kPrintMode" Down Down
type_into "$kDIN" 48213
select_printer_row 2
wait_for 'no pane for b-other'
select_printer_row 3
wait_for 'tab for c-dept' 2
print_now 1
expect_job c-dept "unix dialog: the department code on by default, values kept across a visit to another printer" \
  Private 48213 true 00000
dialog_after 'tab for c-dept' 3
print_now 2
expect_job c-dept "unix dialog: shown again, it starts without the DIN" Private 00000 true 00000
finish_app

# A bundle that does not load: the dialog prints as without the module, and
# says why in one line; but the DIN that the application saved is reset
# the moment the queue is selected, before any check.
saved=$work/saved-settings
printf '%s\n' '[Print Settings]' cups-PrintMode=Private cups-DINDigit{1..5}=9 >"$saved"
rm "$(find "$work/prefix" -path '*/KVXPDE.plugin/Contents/MacOS')"/*
start_app async a-korvane 1 "$saved"
dialog_after 'no pane for a-korvane'
print_now 1
finish_app 1
(($(count 'tab for') == 0)) || fail "a tab without a bundle"
expect_job a-korvane "a broken bundle costs one line and no tab, and the saved DIN is not sent" Private 00000 false 00000

# A pane part that does not load: one line, and the dialog prints as
# without the module, once GTK has the printer's details.
: >"$(find "$work/prefix" -name libkvx-print-gtk3.so)"
start_app async b-other 1
print_blindly
finish_app 1
echo "ok: without its pane part the module costs one line"
