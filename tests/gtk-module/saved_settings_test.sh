#!/usr/bin/env bash
# An unmodified application that keeps its print settings in a file (gedit
# writes it whole at quit, evince merges it key by key after each print)
# prints with kvx-print (see dialog_session.sh). It saved an old DIN: Print,
# pressed again and again from the moment the dialog appears, goes as soon
# as GTK lets it, before the queue's check has answered, and sends 00000 all
# the same. Then a DIN typed in the pane reaches the job, and none of the
# files the application writes holds a DIN digit other than 0.
#   saved_settings_test.sh BUILD_DIR SOURCE_DIR gedit|evince
application=$3
case $application in
  gedit) settings=gedit/gedit-print-settings document=$2/dialog/demo.script quit=ctrl+q ;;
  evince) settings=evince/print-settings document=/usr/share/cups/data/default-testpage.pdf quit=ctrl+w ;;
esac
command -v "$application" >/dev/null && [[ -r $document ]] || { echo "needs $application" >&2; exit 77; }
source "$(dirname "$0")/dialog_session.sh" "$1" "$2" "$application"
# A session bus nobody listens on: the application runs on its own, never as
# a window of someone's running one, and no bus is started for it.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus

saved=$HOME/.config/$settings
mkdir -p "${saved%/*}"
printf '%s\n' '[Print Settings]' printer=a-korvane cups-PrintMode=Private cups-DINDigit{1..5}=9 >"$saved"
page=$work/page.${document##*.}
cp "$document" "$page"

open_dialog() { focus_window '^page\.' && press_keys ctrl+p; }
jobs_on_queue() { lpstat -W all -o a-korvane | wc -l; }

start_app "$page"
open_dialog
focus_window '^Print$'
for ((try = 0; try < 500 && $(jobs_on_queue) == 0; ++try)); do xdotool key alt+p; done
expect_job a-korvane "$application: Print at once sends no saved DIN" Private 00000 false 00000

panes_before=$(count 'pane of a-korvane at')
open_dialog
dialog_after 'pane of a-korvane at' $((panes_before + 1))
show_tab
type_into "$kDIN" 48213
xdotool key alt+p
for ((try = 0; try < 150 && $(jobs_on_queue) < 2; ++try)); do sleep 0.1; done
expect_job a-korvane "$application: the DIN typed reaches the job" Private 48213 false 00000

# Until it goes: its window may be mid-redraw when the first key comes.
while kill -0 "$app_pid" 2>/dev/null; do
  xdotool search --onlyvisible --name '^page\.' windowfocus --sync key "$quit" 2>/dev/null || true
  sleep 0.5
done
wait "$app_pid" || fail "$application exited with status $?"
app_pid=
grep -q '^cups-ZELOrientation=Portrait$' "$saved" || fail "$application saved no print settings"
! grep -rlaE --exclude=lpoptions 'DINDigit[1-5]\W{0,3}[1-9]|48213' "$HOME" || fail "a DIN in $application's files"
echo "ok: $application keeps no DIN in its files"
