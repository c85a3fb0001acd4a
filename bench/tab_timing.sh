#!/usr/bin/env bash
# How long the person waits for the Korvane tab, against the same dialog
# without the module: GTK 3's, GTK 4's and Qt 6's print dialog, each shown by
# a program of the bench's own (print_dialog_clock.c, .cpp) that tells, on
# its own monotonic clock, when a mouse button or a key went down and when
# the dialog reported a printer selected. The build is installed into a
# temporary prefix; a private scheduler has N queues (queues.sh: q000 is a
# Korvane RM-4750, q001 another model). Each run opens the dialog on q001;
# once the dialog has reported q001 selected (its row is there, and q000's
# before it) and has settled, the person selects q000: a click on its row
# (GTK), Up in the printer list (Qt). A run is a pair, the dialog without
# the module and then with it, side by side:
#   selected    from the press to the dialog's report that q000 is selected,
#               without the module and with it (does the module slow GTK or Qt?)
#   tab         with the module: that, plus the module's own "tab for q000
#               shown N ms after the printer was selected": what the person waits
#   ratio       tab with the module / selected without it, per pair
# It prints the medians of RUNS pairs for each toolkit and queue count.
#   bench/tab_timing.sh [BUILD_DIR] [RUNS] [COUNTS] [TOOLKITS]   (default build, 5, "2 300", "gtk3 gtk4 qt6")
# Without a display it runs itself under xvfb-run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
runs=${2:-5}
counts=${3:-2 300}
toolkits=${4:-gtk3 gtk4 qt6}
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$build" "$runs" "$counts" "$toolkits"
fi
for toolkit in $toolkits; do
  [[ -x $build/bench/kvx-bench-print-dialog-$toolkit ]] || { echo "no kvx-bench-print-dialog-$toolkit in $build" >&2; exit 2; }
done

work=$(mktemp -d)
app_pid=
cleanup() {  # every step runs, whatever the one before it did
  set +e
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
  bash "$root/tests/cups/private-cupsd.sh" stop "$work/cupsd" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
source "$root/bench/queues.sh"
mkdir -p "$work"/{home,client-root}
export HOME=$work/home CUPS_SERVERROOT=$work/client-root NO_AT_BRIDGE=1 GTK_A11Y=none
cmake --install "$build" --prefix "$work/prefix" >/dev/null
gtk3_modules=$(dirname "$(find "$work/prefix" -name libkvx-print.so)")
gtk4_backends=$(dirname "$(find "$work/prefix" -name libkvx-print-gtk4.so)")
qt6_plugins=$(dirname "$(find "$work/prefix" -path '*/qt6/plugins/printsupport/libcupskvxprintsupport.so')")
ln -s /usr/lib/*/qt6/plugins/printsupport/libcupsprintersupport.so "$qt6_plugins/"

module_environment() {  # TOOLKIT: what loads the module into it
  case $1 in
    gtk3) echo GTK_PATH="${gtk3_modules%/modules}" GTK_MODULES=kvx-print G_MESSAGES_DEBUG=kvx-print ;;
    gtk4) echo GTK_PATH="${gtk4_backends%/4.0.0/printbackends}" G_MESSAGES_DEBUG=kvx-print ;;
    qt6) echo QT_PLUGIN_PATH="${qt6_plugins%/printsupport}" QT_PRINTER_MODULE=kvx-print QT_LOGGING_RULES=kvx.print.debug=true ;;
  esac
}

wait_for() {  # PATTERN SECONDS: until the program has said it
  local try
  for ((try = 0; try < $2 * 10; ++try)); do
    grep -q -- "$1" "$work/app.out" && return 0
    sleep 0.1
  done
  echo "the program never said \"$1\":" >&2
  cat "$work/app.out" >&2
  exit 1
}

# The person selects q000: its row, the second after Print to File, in
# GTK's list (X11 pixels in the dialog, which has no header bar there); Up
# from q001 in Qt's, which has the focus.
select_korvane_queue() {  # TOOLKIT
  local window
  window=$(xdotool search --sync --onlyvisible --name '^Print$' | head -1)
  xdotool windowfocus --sync "$window"
  case $1 in
    gtk3) xdotool mousemove --sync --window "$window" 70 109 click 1 ;;
    gtk4) xdotool mousemove --sync --window "$window" 80 123 click 1 ;;
    qt6) xdotool key Up ;;
  esac
}

one_run() {  # TOOLKIT with|without: prints "SELECTED [TAB]" in ms
  local tab_line= environment=()
  [[ $2 == without ]] || read -ra environment <<<"$(module_environment "$1")"
  env "${environment[@]}" timeout 120 "$build/bench/kvx-bench-print-dialog-$1" q001 >"$work/app.out" 2>&1 &
  app_pid=$!
  wait_for '^selected q001 ' 120
  [[ $2 == without ]] || wait_for 'no pane for q001' 60
  sleep 0.5
  select_korvane_queue "$1"
  wait_for '^selected q000 ' 60
  [[ $2 == without ]] || { wait_for 'tab for q000 shown' 30; tab_line=$(grep 'tab for q000 shown' "$work/app.out"); }
  kill "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null || true
  app_pid=
  awk -v tab="$tab_line" '
    /^pressed / { pressed = $2 }
    /^selected q000 / { selected = ($3 - pressed) / 1000; exit }
    END {
      if (tab == "") { printf "%.1f\n", selected; exit }
      match(tab, /shown [0-9.]+ ms/)
      printf "%.1f %.1f\n", selected, selected + substr(tab, RSTART + 6, RLENGTH - 9)
    }' "$work/app.out"
}

median_of() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-8s %6s %17s %14s %12s %7s   (ms from the press, median of %d pairs)\n' \
  toolkit queues "selected without" "selected with" "tab with" ratio "$runs"
for count in $counts; do
  start_scheduler_with_queues "$count" 10
  lpoptions -d q001 >/dev/null  # where Qt's dialog starts
  for toolkit in $toolkits; do
    : >"$work/pairs"
    for ((run = 0; run < runs; ++run)); do
      one_run "$toolkit" without >"$work/without"
      one_run "$toolkit" with >"$work/with"
      echo "$(cat "$work/without") $(cat "$work/with")" >>"$work/pairs"
    done
    printf '%-8s %6s %17s %14s %12s %7s\n' "$toolkit" "$count" \
      "$(cut -d' ' -f1 "$work/pairs" | median_of)" "$(cut -d' ' -f2 "$work/pairs" | median_of)" \
      "$(cut -d' ' -f3 "$work/pairs" | median_of)" \
      "$(awk '{ printf "%.2f\n", $3 / $1 }' "$work/pairs" | median_of)"
  done
done
