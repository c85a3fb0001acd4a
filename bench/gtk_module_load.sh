#!/usr/bin/env bash
# What kvx-print costs a GTK process that never shows a print dialog, for
# GTK 3 and GTK 4: a bare GTK program (kvx-bench-bare-gtk, -gtk4: GTK's
# start, then exit) started RUNS times without and with the module, the two
# alternating so that the machine's load falls on both alike.
#   GTK 3: with GTK_MODULES=kvx-print, GTK_PATH at the prefix's gtk-3.0.
#   GTK 4: with GTK_PATH at the prefix's gtk-4.0, whose 4.0.0/printbackends
#          holds the loader; without, at a gtk-4.0 whose printbackends is
#          empty, so that both scan the same folders. GTK scans the
#          GTK_PATH folders with the same call as LIBDIR/gtk-4.0, where
#          the package installs it.
# For each: the shared libraries mapped at exit, the peak resident memory,
# the wall time (median and, as the least disturbed run on a shared
# machine, fastest) and the processor time; then, as a figure that the
# machine's load does not move, the instructions of one start each under
# callgrind. Goals: the same libraries but the module's own file (never the
# pane part or the host libraries), peak memory within +0.5 MiB, wall time
# within x1.02.
#   bench/gtk_module_load.sh [BUILD_DIR] [RUNS] [VERSIONS]   (default build, 30, "3 4")
# Without a display it runs itself under xvfb-run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
runs=${2:-30}
versions=${3:-3 4}
if [[ -z ${DISPLAY:-} ]]; then exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$build" "$runs" "$versions"; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
gtk3_modules=$(dirname "$(find "$work/prefix" -name libkvx-print.so)")
gtk4_backends=$(dirname "$(find "$work/prefix" -name libkvx-print-gtk4.so)")
mkdir -p "$work/no-module/gtk-4.0/4.0.0/printbackends"
export NO_AT_BRIDGE=1 GTK_A11Y=none

in_mode() {  # VERSION MODE COMMAND...: the command, with the module or without
  case $1-$2 in
    3-with) env GTK_PATH="${gtk3_modules%/modules}" GTK_MODULES=kvx-print "${@:3}" ;;
    3-without) env -u GTK_PATH -u GTK_MODULES "${@:3}" ;;
    4-with) env GTK_PATH="${gtk4_backends%/4.0.0/printbackends}" "${@:3}" ;;
    4-without) env GTK_PATH="$work/no-module/gtk-4.0" "${@:3}" ;;
  esac
}

run() {  # VERSION MODE: one start, its figures appended to MODE's files
  local start end
  start=$(date +%s%N)
  in_mode "$1" "$2" "$program" >"$work/out"
  end=$(date +%s%N)
  echo $(((end - start) / 1000)) >>"$work/$2.wall"
  sed -n 's/^peak-rss-kib //p' "$work/out" >>"$work/$2.rss"
  sed -n 's/^cpu-us //p' "$work/out" >>"$work/$2.cpu"
  sed -n 's/^mapped //p' "$work/out" | sort -u >"$work/$2.libraries"
  wc -l <"$work/$2.libraries" >>"$work/$2.count"
}
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
fastest() { sort -n "$1" | head -1; }
ratio() { awk -v with="$(${1} "$work/with.$2")" -v without="$(${1} "$work/without.$2")" 'BEGIN { printf "x%.3f", with / without }'; }

measure() {  # VERSION
  local version=$1 mode
  program=$build/bench/kvx-bench-bare-gtk${version/3/}
  [[ -x $program ]] || { echo "no $program: build the project first" >&2; exit 2; }
  rm -f "$work"/*.wall "$work"/*.rss "$work"/*.cpu "$work"/*.count
  run "$version" without && run "$version" with  # warm the caches; not counted
  rm -f "$work"/*.wall "$work"/*.rss "$work"/*.cpu "$work"/*.count
  for ((i = 0; i < runs; ++i)); do run "$version" without; run "$version" with; done

  echo "== GTK $version, $runs starts each"
  printf '%-8s %9s %13s %13s %13s %13s\n' module libraries "peak RSS KiB" "wall us" "fastest us" "cpu us"
  for mode in without with; do
    printf '%-8s %9s %13s %13s %13s %13s\n' "$mode" "$(median "$work/$mode.count")" "$(median "$work/$mode.rss")" \
      "$(median "$work/$mode.wall")" "$(fastest "$work/$mode.wall")" "$(median "$work/$mode.cpu")"
  done
  echo "libraries only with the module:"
  comm -13 "$work/without.libraries" "$work/with.libraries" | sed 's/^/  /'
  echo "libraries only without it:"
  comm -23 "$work/without.libraries" "$work/with.libraries" | sed 's/^/  /'
  awk -v with="$(median "$work/with.rss")" -v without="$(median "$work/without.rss")" \
    'BEGIN { printf "peak RSS: %+.2f MiB (goal <= +0.5)\n", (with - without) / 1024 }'
  echo "wall: median $(ratio median wall), fastest $(ratio fastest wall) (goal <= x1.02); cpu: median $(ratio median cpu)"

  if command -v valgrind >/dev/null; then
    for mode in without with; do
      in_mode "$version" "$mode" valgrind --tool=callgrind --callgrind-out-file="$work/$mode.callgrind" "$program" \
        >/dev/null 2>&1
      sed -n 's/^summary: //p' "$work/$mode.callgrind" >"$work/$mode.instructions"
    done
    echo "instructions: without $(cat "$work/without.instructions"), with $(cat "$work/with.instructions"):" \
      "$(ratio cat instructions)"
  fi
}

for version in $versions; do measure "$version"; done
