#!/usr/bin/env bash
# How long the person waits for the Korvane tab: in a GTK 3 print dialog
# (tests/gtk-module/print_app) and a GTK 4 one (Debian's gtk4-print-editor),
# with the build installed into a temporary prefix, against a private
# scheduler with N queues (bench/queues.sh: q000 is a Korvane RM-4750, q001
# another model). The person selects q000 (GTK 3: the dialog starts on
# q001, a click on q000's row; GTK 4: the Down key from the top); from the
# module's debug log (G_MESSAGES_DEBUG=kvx-print) it takes, per run:
#   key -> tab   from the click or key press to the log line "tab for q000 shown":
#                what the person waits, GTK's own fetch of the queue's
#                details included
#   selected -> tab  the figure that line gives itself: from the dialog's
#                report that q000 is selected (its notify::selected-printer)
#                to the tab shown, of it the queue's check (its PPD fetched
#                and the plug-in asked) as "check"
# and prints the medians of RUNS runs for each toolkit and queue count.
#   bench/tab_timing.sh [BUILD_DIR] [RUNS] [COUNTS]   (default build, 5, "2 300")
# Without a display it runs itself under xvfb-run with a session bus
# (gtk4-print-editor's Print action is called over it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
runs=${2:-5}
counts=${3:-2 300}
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" "$build" "$runs" "$counts"
fi
print_app=$build/tests/gtk-module/print_app
[[ -x $print_app ]] || { echo "no $print_app: build the project first" >&2; exit 2; }
command -v gtk4-print-editor >/dev/null || echo "no gtk4-print-editor (gtk-4-examples): GTK 4 is left out" >&2

work=$(mktemp -d)
app_pid=
window=
cleanup() {
  set +e
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
  bash "$root/tests/cups/private-cupsd.sh" stop "$work/cupsd" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
source "$root/bench/queues.sh"
mkdir -p "$work"/{home,client-root}
export HOME=$work/home CUPS_SERVERROOT=$work/client-root G_MESSAGES_DEBUG=kvx-print NO_AT_BRIDGE=1 GTK_A11Y=none
cmake --install "$build" --prefix "$work/prefix" >/dev/null
gtk3_modules=$(dirname "$(find "$work/prefix" -name libkvx-print.so)")
gtk4_backends=$(dirname "$(find "$work/prefix" -name libkvx-print-gtk4.so)")

find_window() {  # NAME: the first window whose name matches, once there is one
  local found=
  for ((try = 0; try < 600; ++try)); do  # 60 s
    found=$(xdotool search --name "$1" 2>/dev/null | head -1 || true)
    [[ -n $found ]] && break
    sleep 0.1
  done
  [[ -n $found ]] || { echo "no window $1" >&2; cat "$work/app.out" >&2; exit 1; }
  echo "$found"
}

start_app() {  # GTK_VERSION: the application, its dialog open on the default printer
  if [[ $1 == 3 ]]; then
    GTK_PATH=${gtk3_modules%/modules} GTK_MODULES=kvx-print timeout 120 "$print_app" modal q001 1 \
      >"$work/app.out" 2>&1 &
    app_pid=$!
  else
    # It keeps its settings in the folder it runs in.
    (cd "$work" && GTK_PATH=${gtk4_backends%/4.0.0/printbackends} exec timeout 120 gtk4-print-editor) \
      >"$work/app.out" 2>&1 &
    app_pid=$!
    find_window 'GTK Print Editor' >/dev/null
    gdbus call --session --timeout 60 --dest org.gtk.PrintEditor4 --object-path /org/gtk/PrintEditor4 \
      --method org.gtk.Actions.Activate print '[]' '{}' >/dev/null 2>&1 &
  fi
  window=$(find_window '^Print$')
  for ((try = 0; try < 50; ++try)); do  # a window found before it is mapped refuses the focus
    xdotool windowfocus --sync "$window" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "the dialog never took the focus" >&2; exit 1
}

answers() { grep -cE 'tab for q[0-9]+ shown|no pane for q[0-9]+$' "$work/app.out" || true; }
wait_for_answers() {  # COUNT SECONDS: until the module answered COUNT selections; false after SECONDS
  for ((try = 0; try < $2 * 10; ++try)); do
    (($(answers) >= $1)) && return 0
    sleep 0.1
  done
  return 1
}
seconds_of_day() { awk -F: '{ printf "%.3f\n", $1 * 3600 + $2 * 60 + $3 }'; }

# The person selects q000: in GTK 3's list, which starts on q001, a click
# on q000's row (the second, after Print to File); in GTK 4's the Down key,
# from the top, until q000's tab shows. What counts is the last press before
# the tab showed.
select_korvane_queue() {  # GTK_VERSION
  if [[ $1 == 3 ]]; then
    xdotool mousemove --sync --window "$window" 70 109 click 1
  else
    xdotool key Down
  fi
}

one_run() {  # GTK_VERSION: appends "key->tab selected->tab check" in ms to $work/figures
  local tab_line= shown_at
  : >"$work/app.out"
  : >"$work/presses"
  start_app "$1"
  if [[ $1 == 3 ]]; then
    wait_for_answers 1 60 || { echo "no answer for q001:" >&2; cat "$work/app.out" >&2; exit 1; }
  fi
  for ((press = 0; press < 8; ++press)); do
    date +%H:%M:%S.%N | seconds_of_day >>"$work/presses"
    select_korvane_queue "$1"
    for ((try = 0; try < 50; ++try)); do  # 5 s
      tab_line=$(grep -E 'tab for q000 shown' "$work/app.out" | tail -1 || true)
      [[ -n $tab_line ]] && break 2
      sleep 0.1
    done
  done
  [[ -n $tab_line ]] || { echo "q000 was never selected:" >&2; cat "$work/app.out" >&2; exit 1; }
  kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null || true
  app_pid=
  shown_at=$(sed -E 's/.*kvx-print-DEBUG: ([0-9:.]+): .*/\1/' <<<"$tab_line" | seconds_of_day)
  awk -v shown="$shown_at" -v line="$tab_line" '
    $1 <= shown { pressed = $1 }
    END {
      match(line, /shown [0-9.]+ ms/); selected = substr(line, RSTART + 6, RLENGTH - 9)
      match(line, /took [0-9.]+ ms/); check = substr(line, RSTART + 5, RLENGTH - 8)
      printf "%.0f %s %s\n", (shown - pressed) * 1000, selected, check
    }' "$work/presses" >>"$work/figures"
}

median_of() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-5s %6s %12s %15s %10s   (ms, median of %d runs)\n' GTK queues "key -> tab" "selected -> tab" check "$runs"
for count in $counts; do
  start_scheduler_with_queues "$count" 10
  for version in 3 4; do
    [[ $version == 4 ]] && ! command -v gtk4-print-editor >/dev/null && continue
    : >"$work/figures"
    for ((run = 0; run < runs; ++run)); do one_run "$version"; done
    printf '%-5s %6s %12s %15s %10s\n' "$version" "$count" "$(cut -d' ' -f1 "$work/figures" | median_of)" \
      "$(cut -d' ' -f2 "$work/figures" | median_of)" "$(cut -d' ' -f3 "$work/figures" | median_of)"
  done
done
