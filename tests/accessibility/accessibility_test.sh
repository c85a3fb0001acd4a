#!/usr/bin/env bash
# The pane, in kvx-dialog's window or in an application's print dialog with
# the installed module, as a screen reader finds it: over AT-SPI against the
# table of its controls (tests/gui/accessibility_test.py, pane_controls.txt),
# or by ear, as Orca speaks it while Tab goes through it (speech through
# speech-dispatcher and espeak-ng, into ALSA's null device). On the X server
# xvfb-run gives it, which must not reset when its last client leaves
# (-noreset: it would lose the property that names the accessibility bus),
# under dbus-run-session, with an accessibility bus and a runtime folder of
# its own (two session buses in one runtime folder share at-spi/bus).
#   accessibility_test.sh kvx-dialog|gtk3|gtk4|qt5|qt6 BUILD_DIR SOURCE_DIR [APPLICATION] [--by-ear]
toolkit=$1 by_ear=${5:-}
shift
[[ -x ${3:-} || $toolkit == gtk4 || $toolkit == kvx-dialog ]] ||
  { echo "needs a $toolkit application (${3:-none built})" >&2; exit 77; }
[[ $toolkit != gtk4 ]] || command -v gtk4-print-editor >/dev/null || { echo "needs gtk-4-examples" >&2; exit 77; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "needs Debian's python3-pyatspi" >&2; exit 77; }
[[ -z $by_ear ]] || command -v orca speech-dispatcher >/dev/null || { echo "needs orca and speech-dispatcher" >&2; exit 77; }
# Orca starts only where no other Orca of the user runs; it is not ours to stop.
[[ -z $by_ear ]] || ! pgrep -u "$EUID" -x orca >/dev/null || { echo "an Orca of this user runs" >&2; exit 77; }
source "$(dirname "$0")/../gtk-module/dialog_session.sh" "${@:1:3}"
mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset NO_AT_BRIDGE
/usr/libexec/at-spi-bus-launcher --launch-immediately &
at_exit+=("kill $!")

start_orca() {
  mkdir -p "$work"/{orca,speechd}
  ln -s /etc/speech-dispatcher/modules "$work/speechd/modules"
  printf '%s\n' 'AudioOutputMethod "alsa"' 'AudioALSADevice "null"' 'DefaultModule espeak-ng' \
    'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"' >"$work/speechd/speechd.conf"
  mkdir -m 0700 "$XDG_RUNTIME_DIR/speech-dispatcher"
  local socket=$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock try
  speech-dispatcher --run-single --timeout 0 --config-dir "$work/speechd" --log-dir "$work/speechd" \
    --communication-method unix_socket --socket-path "$socket" >"$work/speechd/out" 2>&1 &
  at_exit+=("kill $!")
  # Else Orca starts a speech-dispatcher of its own, which outlives the test.
  for ((try = 0; try < 100; ++try)); do
    [[ -S $socket ]] && break
    sleep 0.1
  done
  # Orca writes its debug file in large blocks and loses the end when it is
  # stopped: its customizations, run as it starts, open the file again line by line.
  echo 'import orca.debug as debug
if getattr(debug, "debugFile", None):
    debug.debugFile = open(debug.debugFile.name, "a", buffering=1)' >"$work/orca/orca-customizations.py"
  orca -u "$work/orca" --debug --debug-file="$work/orca.debug" >"$work/orca.out" 2>&1 &
  at_exit+=("kill $!")
  for ((try = 0; try < 100; ++try)); do
    grep -qs "SPEECH OUTPUT: 'Screen reader on" "$work/orca.debug" && return 0
    sleep 0.1
  done
  fail "Orca never spoke: $(cat "$work/orca.out")"
}

[[ -z $by_ear ]] || start_orca
if [[ $toolkit == kvx-dialog ]]; then
  app=("$work/prefix/bin/kvx-dialog" --gui --ppd "$source/resources/ppd/korvane-rm4750.ppd") accessible_name=kvx-dialog
  start_app
  focus_window '^Print$'
else
  source "$(dirname "$0")/../wayland/applications.sh"
  declare -A accessible_names=([gtk3]=print_app [gtk4]=gtk4-print-editor [qt5]='Rich Text' [qt6]=qt6_print_app)
  accessible_name=${accessible_names[$toolkit]}
  with_module
  start_printing a-korvane modal 1
  open_dialog
  wait_for 'tab for a-korvane shown' 1
  show_pane a-korvane 1
fi
if [[ -z $by_ear ]]; then
  /usr/bin/python3 "$source/tests/gui/accessibility_test.py" "$accessible_name" "${toolkit/kvx-dialog/gtk3}" ||
    fail "as a screen reader finds it"
  exit 0
fi

# By ear: Tab from the pane's tab to the print mode, Private (DIN); Tab on
# through the DIN, the department code (On), the DC, the orientation. Orca
# says each control's label and role, then its state: a popup's choice, a
# field's zeros selected; in turn, each within what it said from the last one on.
for key in Tab Down Down Tab Tab Down Tab Tab; do
  press_keys "$key"
  sleep 1
done
sed -n "s/^.*SPEECH OUTPUT: '\(.*\)'.*$/\1/p" "$work/orca.debug" | sed -n '/Korvane Job Options page tab/,$p' >"$work/said"
grep -v '^#' "$source/tests/accessibility/pane_controls.txt" |
  awk -F' *[|] *' '{ print $1 " " $2; print($3 == "" ? "selected." : substr($3, 1, index($3 ",", ",") - 1) ".") }' \
    >"$work/expected"
awk 'FNR == NR { expected[++count] = $0; next } { while (found < count && index($0, expected[found + 1])) ++found }
     END { exit found < count }' "$work/expected" "$work/said" || fail "Orca did not say, in turn:
$(cat "$work/expected")
It said:
$(cat "$work/said")"
echo "ok: Orca says each control's label, role and state as Tab goes through the pane"
