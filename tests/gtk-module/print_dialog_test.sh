#!/usr/bin/env bash
# print_app, an ordinary GTK 3 application, prints with kvx-print (see
# dialog_session.sh) through its own GtkPrintUnixDialog, which it hides and
# shows again, unlike the GtkPrintOperation of the flows that
# ../wayland/print_dialog_test.sh runs in it.
#   print_dialog_test.sh BUILD_DIR SOURCE_DIR PRINT_APP
source "$(dirname "$0")/dialog_session.sh" "$@"

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
