#!/usr/bin/env bash
# What an application maps and holds once its first print dialog shows the
# Korvane tab: a GTK 4 program (Debian's gtk4-print-editor, kvx-print for
# GTK 4 from the printbackends folder) and a Qt 5 one (Debian's textedit
# example, kvx-print's print-support plug-in), with the build installed into
# a temporary prefix, against a private scheduler whose Korvane queue is the
# default. At the module's "tab for a-korvane shown" it reads the process's
# /proc: the shared libraries mapped (how many, and which of them are kvx's)
# and the peak resident memory (VmHWM). RUNS runs each; the medians.
#   bench/first_dialog_footprint.sh [BUILD_DIR] [RUNS]   (default build, 5)
# Without a display it runs itself under xvfb-run with a session bus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
runs=${2:-5}
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" "$build" "$runs"
fi
qt5_textedit=$(ls /usr/lib/*/qt5/examples/widgets/richtext/textedit/textedit 2>/dev/null | head -1)
# The tests' session: private scheduler, prefix, xdotool helpers.
source "$root/tests/gtk-module/dialog_session.sh" "$build" "$root" true
unset GTK_MODULES
lpoptions -d a-korvane >/dev/null

application_pid() {  # the program under start_app's timeout
  pgrep -P "$app_pid" | head -1
}

measure() {  # NAME: one line of figures for the process at its tab
  local pid
  pid=$(application_pid)
  awk '$6 ~ /\.so/ {print $6}' "/proc/$pid/maps" | sort -u >"$work/maps"
  printf '%s %s %s %s\n' "$1" "$(wc -l <"$work/maps")" "$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")" \
    "$(grep -oE '[^/]*(kvx|KVX)[^/]*\.so' "$work/maps" | sort | tr '\n' ',')" >>"$work/figures"
  kill "$pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=
}

gtk4_run() {
  app=(gtk4-print-editor)
  GTK_PATH=$(dirname "$(dirname "$(dirname "$(find "$work/prefix" -name libkvx-print-gtk4.so)")")") start_app
  xdotool search --sync --name 'GTK Print Editor' >/dev/null
  gdbus call --session --timeout 60 --dest org.gtk.PrintEditor4 --object-path /org/gtk/PrintEditor4 \
    --method org.gtk.Actions.Activate print '[]' '{}' >/dev/null 2>&1 &
  wait_for 'tab for a-korvane shown'
  measure gtk4
}

qt5_run() {
  local plugin
  plugin=$(find "$work/prefix" -path '*/qt5/plugins/printsupport/libcupskvxprintsupport.so')
  ln -sf /usr/lib/*/qt5/plugins/printsupport/libcupsprintersupport.so "${plugin%/*}/"
  app=("$qt5_textedit")
  QT_PLUGIN_PATH=${plugin%/printsupport/*} QT_QPA_PLATFORM=xcb QT_LOGGING_RULES=kvx.print.debug=true start_app
  xdotool windowfocus --sync "$(xdotool search --sync --name 'Rich Text$' | head -1)" key ctrl+p
  wait_for 'tab for a-korvane shown'
  measure qt5
}

for ((run = 0; run < runs; ++run)); do
  if command -v gtk4-print-editor >/dev/null; then gtk4_run; fi
  if [[ -n $qt5_textedit ]]; then qt5_run; fi
done

echo "program  libraries  peak-RSS-KiB  kvx's libraries (medians of $runs runs)"
for program in gtk4 qt5; do
  grep "^$program " "$work/figures" >"$work/one" || continue
  printf '%-8s %10s %13s  %s\n' "$program" \
    "$(cut -d' ' -f2 "$work/one" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')" \
    "$(cut -d' ' -f3 "$work/one" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')" \
    "$(cut -d' ' -f4 "$work/one" | sort | uniq -c | sort -rn | head -1 | awk '{print $2}')"
done
