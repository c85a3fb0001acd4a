#!/usr/bin/env bash
# The pane in unmodified applications' own print dialogs on a desktop of the
# office (office-rig.sh) whose queues forward to the print server's Korvane
# queue and have PPDs without the pane's options: Qt 5's textedit prints
# through cups-browsed's queue, gedit (GTK 3) through a driverless one
# (lpadmin -m everywhere), each with kvx-print installed (see
# ../gtk-module/dialog_session.sh) and GTK given the desktop's domain socket
# (README). In each the tab shows, and the printer's data at the server
# holds the DIN typed into it, and 00000 from a dialog where none was typed:
# textedit's next one, gedit's first, though gedit saved a DIN before. The
# settings gedit saves at quit, after a print with a DIN, hold none. Then
# the server stops, and gedit's next dialog answers without the tab. The
# results are compared with office_dialogs.expected.
#   office_dialogs_test.sh BUILD_DIR SOURCE_DIR TEXTEDIT
readonly textedit=$3
for tool in gedit "$textedit" cups-browsed dbus-daemon ipptool; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 77; }
done
source "$(dirname "$0")/../gtk-module/dialog_session.sh" "$1" "$2" gedit
gtk_path=$GTK_PATH toolkit=qt5
source "$source/tests/wayland/applications.sh"
readonly typed_din=48213

rig_work=$work/office rig_source=$source
mkdir "$rig_work"
chmod 0755 "$work" "$rig_work"  # the schedulers' filters run as their own user
# shellcheck source=office-rig.sh
source "$source/tests/office/office-rig.sh"
trap 'rig_stop; cleanup' EXIT
rig_start_server
rig_start_desktop
rig_add_everywhere_queue korvane_everywhere
browsed_queue=$(rig_start_browsed)
export CUPS_SERVER=$rig_desktop_socket

print_din() {  # KEYS...: presses them to print, then prints the DIN in the printer's data
  local before
  before=$(rig_printer_jobs)
  focus_window "$window" && press_keys "$@"
  rig_data_din "$(rig_wait_for_printer "$before")"
}

result() { printf "$@" | tee -a "$work/results"; }
row() {  # APPLICATION SET-UP QUEUE TYPED UNTYPED SAVED; cups-browsed's queue named as the server reports itself
  result '%-16s %-16s %-20s %-5s %-8s %-11s %s\n' "$1" "$2" "${3/#$browsed_queue/${browsed_queue%%_*}_SERVER}" \
    "$( (($(count "tab for $3 shown") > 0)) && echo shown || echo none)" "$4" "$5" "$6"
}

result '%-16s %-16s %-20s %-5s %-8s %-11s %s\n' application set-up queue tab typed untyped "saved settings"

# textedit makes a new dialog for each print.
app=("$textedit")
lpoptions -d "$browsed_queue" >/dev/null
with_module
start_printing
open_dialog
show_pane "$browsed_queue" 1
choose "$kPrintMode" Down Down
type_into "$kDIN" "$typed_din"
typed=$(print_din alt+p)
open_dialog
wait_for "tab for $browsed_queue shown" 2
untyped=$(print_din alt+p)
quit_app
finish_app
row "textedit (Qt 5)" "4 cups-browsed" "$browsed_queue" "$typed" "$untyped" -

# gedit starts from the settings it saved, an old DIN among them, and writes
# those of its last print whole at quit.
export GTK_PATH=$gtk_path GTK_MODULES=kvx-print
app=(gedit "$work/page.script")
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus  # a gedit of its own, not a window of someone's
saved=$HOME/.config/gedit/gedit-print-settings
mkdir -p "${saved%/*}"
printf '%s\n' '[Print Settings]' printer=korvane_everywhere cups-PrintMode=Private cups-DINDigit{1..5}=9 >"$saved"
cp "$source/dialog/demo.script" "$work/page.script"
open_dialog() {  # Ctrl+P until the dialog shows: a gedit still starting up drops keys
  local try wait
  for ((try = 0; try < 10; ++try)); do
    xdotool search --sync --onlyvisible --name '^page\.' windowfocus --sync key ctrl+p
    for ((wait = 0; wait < 20; ++wait)); do
      xdotool search --onlyvisible --name '^Print$' >/dev/null && return
      sleep 0.25
    done
  done
  fail "gedit's print dialog did not open"
}
start_app
open_dialog
dialog_after 'tab for korvane_everywhere shown'
untyped=$(print_din alt+p)
open_dialog
dialog_after 'pane of korvane_everywhere at' 2
show_tab
choose "$kPrintMode" Down Down
type_into "$kDIN" "$typed_din"
typed=$(print_din alt+p)

rig_cupsd stop "$rig_work/server"
open_dialog
dialog_after 'no pane for korvane_everywhere'
xdotool key Escape
origin_stopped=$( (($(count 'tab for korvane_everywhere shown') == 2)) && echo without || echo with)

while kill -0 "$app_pid" 2>/dev/null; do  # its window may be mid-redraw when the first key comes
  xdotool search --onlyvisible --name '^page\.' windowfocus --sync key ctrl+q 2>/dev/null || true
  sleep 0.5
done
finish_app
saved_din=$(for digit in 1 2 3 4 5; do sed -n "s/^cups-DINDigit$digit=//p" "$saved"; done | tr -d '\n')
files_with_din=$({ grep -rlaE --exclude=lpoptions 'DINDigit[1-5]\W{0,3}[1-9]|48213' "$HOME" || true; } | wc -l)
row "gedit (GTK 3)" "3 everywhere" korvane_everywhere "$typed" "$untyped" \
  "DIN ${saved_din:--}, $files_with_din files with a DIN"
result "origin server stopped: gedit's next dialog for korvane_everywhere answers %s the tab\n" "$origin_stopped"
diff -u "$source/tests/office/office_dialogs.expected" "$work/results"
