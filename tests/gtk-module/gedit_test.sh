#!/usr/bin/env bash
# gedit, unmodified, prints with kvx-print (see dialog_session.sh). It saved
# an old DIN in its print settings: Print, pressed again and again from the
# moment the dialog appears, goes as soon as GTK lets it, before the
# queue's check has answered, and sends 00000 all the same. Then a DIN
# typed in the pane reaches the job, and none of the files gedit writes,
# down to its print settings at quit, holds a DIN digit other than 0.
#   gedit_test.sh BUILD_DIR SOURCE_DIR
command -v gedit >/dev/null || { echo "needs gedit" >&2; exit 77; }
source "$(dirname "$0")/dialog_session.sh" "$1" "$2" gedit
# A session bus nobody listens on: gedit runs on its own, never as a window
# of someone's running gedit, and no bus is started for it.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus

saved=$HOME/.config/gedit/gedit-print-settings
mkdir -p "${saved%/*}"
printf '%s\n' '[Print Settings]' printer=a-korvane cups-PrintMode=Private cups-DINDigit{1..5}=9 >"$saved"
echo "a page" >"$work/page.txt"

open_dialog() { xdotool search --sync --name '^page\.txt' windowfocus --sync key ctrl+p; }
jobs_on_queue() { lpstat -W all -o a-korvane | wc -l; }

start_app "$work/page.txt"
open_dialog
xdotool search --sync --name '^Print$' windowfocus --sync
for ((try = 0; try < 500 && $(jobs_on_queue) == 0; ++try)); do xdotool key alt+p; done
expect_job a-korvane "gedit: Print at once sends no saved DIN" Private 00000 false 00000

panes_before=$(count 'pane of a-korvane at')
open_dialog
dialog_after 'pane of a-korvane at' $((panes_before + 1))
show_tab
type_into "$kDIN" 48213
xdotool key alt+p
for ((try = 0; try < 150 && $(jobs_on_queue) < 2; ++try)); do sleep 0.1; done
expect_job a-korvane "gedit: the DIN typed reaches the job" Private 48213 false 00000

xdotool search --sync --name '^page\.txt' windowfocus --sync key ctrl+q
wait "$app_pid" || fail "gedit exited with status $?"
app_pid=
grep -q '^cups-ZELOrientation=Portrait$' "$saved" || fail "gedit saved no print settings"
! grep -rlaE --exclude=lpoptions 'DINDigit[1-5]\W{0,3}[1-9]|48213' "$HOME" || fail "a DIN in gedit's files"
echo "ok: gedit keeps no DIN in its files"
