#!/usr/bin/env bash
# kvx-dialog against a print server with many queues: a private scheduler
# (tests/cups/private-cupsd.sh) gets N queues of generated PPDs of a chosen
# size, about one in ten of them a Korvane RM-4750, and each figure is the
# median of RUNS wall-clock runs, side by side (with -b, a second dialog's
# figure is taken right before each, as "before/after": on a shared
# machine only figures taken together compare):
#   list cold   kvx-dialog --list-printers with an empty model cache
#   list warm   the same again, the cache filled by the run before
#   lpstat      lpstat -l -p, the floor for asking the scheduler at all
#   frame       kvx-dialog --gui --script EMPTY --screenshot (the window's
#               first frame, under Xvfb) with the N queues
#   frame/none  the same with no scheduler listening
#
# usage: bench/cups_queues.sh [-d DIALOG] [-b BEFORE] [-n "30 100 300"] [-s "10 100"] [-r RUNS]
#   DIALOG   the kvx-dialog to measure (default build/dialog/kvx-dialog)
#   BEFORE   another kvx-dialog to compare with, such as an older build
#   -n       queue counts; -s PPD sizes in KB; -r runs per figure (default 3)
set -euo pipefail

readonly root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/queues.sh"

dialog=$root/build/dialog/kvx-dialog
before=
counts="30 100 300"
sizes="10 100"
runs=3
while getopts "d:b:n:s:r:" flag; do
  case $flag in
    d) dialog=$(realpath "$OPTARG") ;;
    b) before=$(realpath "$OPTARG") ;;
    n) counts=$OPTARG ;;
    s) sizes=$OPTARG ;;
    r) runs=$OPTARG ;;
    *) sed -n '2,23p' "$0" >&2; exit 2 ;;
  esac
done
[[ -x $dialog ]] || { echo "no kvx-dialog at $dialog" >&2; exit 2; }
[[ -z $before || -x $before ]] || { echo "no kvx-dialog at $before" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kvx-bench-queues.XXXXXX")
xvfb_pid=
cleanup() {
  bash "$scheduler_script" stop "$work/cupsd" >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Every client of this run talks to the private scheduler and keeps its
# files (lpoptions, the model cache) under $work, never the user's.
mkdir -p "$work"/{home,client-root,cache,ppd,tmp}
export HOME=$work/home CUPS_SERVERROOT=$work/client-root XDG_CACHE_HOME=$work/cache TMPDIR=$work/tmp

# Milliseconds for one run of the command, its output thrown away.
time_once() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# The median of RUNS runs; with "cold" first the model cache is emptied
# before each run.
measure() {
  local mode=$1; shift
  for ((run = 0; run < runs; ++run)); do
    [[ $mode == cold ]] && rm -rf "$XDG_CACHE_HOME/kvx"
    time_once "$@"
  done | median
}

start_display() {
  local fd_file=$work/display
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" 2>/dev/null &
  xvfb_pid=$!
  for ((try = 0; try < 100; ++try)); do
    [[ -s $fd_file ]] && break
    sleep 0.05
  done
  export DISPLAY=:$(cat "$fd_file")
}

# "BEFORE/AFTER" milliseconds of MODE runs of the dialog with ARGS, or
# "AFTER" without -b.
measure_dialogs() {
  local mode=$1; shift
  local after_ms
  if [[ -n $before ]]; then
    local before_ms
    before_ms=$(measure "$mode" "$before" "$@")
    after_ms=$(measure "$mode" "$dialog" "$@")
    echo "$before_ms/$after_ms"
  else
    measure "$mode" "$dialog" "$@"
  fi
}

start_display
: >"$work/empty.script"
frame=(--gui --script "$work/empty.script" --screenshot "$work/frame.png")

printf '%-6s %-6s %8s %13s %13s %13s %13s   (ms)\n' queues ppd_kb lpstat "list cold" "list warm" frame frame/none
for size in $sizes; do
  bash "$scheduler_script" stop "$work/cupsd" >/dev/null 2>&1 || true
  rm -rf "$work/cupsd"
  for count in $counts; do
    start_scheduler_with_queues "$count" "$size"
    lpstat_ms=$(measure warm lpstat -l -p)
    cold=$(measure_dialogs cold --list-printers)
    # Each dialog warms the cache for itself right before its warm runs.
    [[ -n $before ]] && "$before" --list-printers >/dev/null 2>&1
    "$dialog" --list-printers >/dev/null 2>&1 || true
    warm=$(measure_dialogs warm --list-printers)
    frame_ms=$(measure_dialogs warm "${frame[@]}")
    # No scheduler: a port that nothing listens on refuses at once.
    frame_none=$(CUPS_SERVER=127.0.0.1:9 measure_dialogs warm "${frame[@]}")
    printf '%-6s %-6s %8s %13s %13s %13s %13s\n' \
      "$count" "$size" "$lpstat_ms" "$cold" "$warm" "$frame_ms" "$frame_none"
  done
done
