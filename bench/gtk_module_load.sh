#!/usr/bin/env bash
# What kvx-print costs a GTK 3 process that never shows a print dialog: a
# bare GTK 3 program (kvx-bench-bare-gtk: gtk_init, then exit) started RUNS
# times without and with GTK_MODULES=kvx-print, the two alternating so that
# the machine's load falls on both alike. For each: the shared libraries
# mapped at exit, the peak resident memory, the wall time (median and, as
# the least disturbed run on a shared machine, fastest) and the processor
# time; then, as a figure that the machine's load does not move, the
# instructions of one start each under callgrind. Goals: the same libraries
# but the module's own file, peak memory within +0.5 MiB, wall time within
# x1.02.
#   bench/gtk_module_load.sh [BUILD_DIR] [RUNS]     (default build, 30)
# Without a display it runs itself under xvfb-run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
runs=${2:-30}
if [[ -z ${DISPLAY:-} ]]; then exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$build" "$runs"; fi
program=$build/bench/kvx-bench-bare-gtk
[[ -x $program ]] || { echo "no $program: build the project first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
module=$(find "$work/prefix" -name libkvx-print.so)

in_mode() {  # MODE COMMAND...: the command, with the module or without
  if [[ $1 == with ]]; then
    env GTK_PATH="${module%/modules/*}" GTK_MODULES=kvx-print "${@:2}"
  else
    env -u GTK_PATH -u GTK_MODULES "${@:2}"
  fi
}

run() {  # MODE: one start, its figures appended to MODE's files
  local start end
  start=$(date +%s%N)
  in_mode "$1" "$program" >"$work/out"
  end=$(date +%s%N)
  echo $(((end - start) / 1000)) >>"$work/$1.wall"
  sed -n 's/^peak-rss-kib //p' "$work/out" >>"$work/$1.rss"
  sed -n 's/^cpu-us //p' "$work/out" >>"$work/$1.cpu"
  sed -n 's/^mapped //p' "$work/out" | sort -u >"$work/$1.libraries"
  wc -l <"$work/$1.libraries" >>"$work/$1.count"
}
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
fastest() { sort -n "$1" | head -1; }

run without && run with  # warm the caches; not counted
rm -f "$work"/*.wall "$work"/*.rss "$work"/*.cpu "$work"/*.count
for ((i = 0; i < runs; ++i)); do run without; run with; done

printf '%-8s %9s %13s %13s %13s %13s\n' module libraries "peak RSS KiB" "wall us" "fastest us" "cpu us"
for mode in without with; do
  printf '%-8s %9s %13s %13s %13s %13s\n' "$mode" "$(median "$work/$mode.count")" "$(median "$work/$mode.rss")" \
    "$(median "$work/$mode.wall")" "$(fastest "$work/$mode.wall")" "$(median "$work/$mode.cpu")"
done
echo "libraries only with the module:"
comm -13 "$work/without.libraries" "$work/with.libraries" | sed 's/^/  /'
echo "libraries only without it:"
comm -23 "$work/without.libraries" "$work/with.libraries" | sed 's/^/  /'
ratio() { awk -v with="$(${1} "$work/with.$2")" -v without="$(${1} "$work/without.$2")" 'BEGIN { printf "x%.3f", with / without }'; }
awk -v with="$(median "$work/with.rss")" -v without="$(median "$work/without.rss")" \
  'BEGIN { printf "peak RSS: %+.2f MiB (goal <= +0.5)\n", (with - without) / 1024 }'
echo "wall: median $(ratio median wall), fastest $(ratio fastest wall) (goal <= x1.02); cpu: median $(ratio median cpu)"

if command -v valgrind >/dev/null; then
  for mode in without with; do
    in_mode "$mode" valgrind --tool=callgrind --callgrind-out-file="$work/$mode.callgrind" "$program" >/dev/null 2>&1
    sed -n 's/^summary: //p' "$work/$mode.callgrind" >"$work/$mode.instructions"
  done
  echo "instructions: without $(cat "$work/without.instructions"), with $(cat "$work/with.instructions"):" \
    "$(ratio cat instructions)"
fi
