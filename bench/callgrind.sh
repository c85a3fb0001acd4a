#!/usr/bin/env bash
# Instructions per step of each benchmark scenario, counted by callgrind:
# stable where wall-clock timings on a shared machine are not.
#   bench/callgrind.sh [BUILD_DIR] [SCENARIO...]
# BUILD_DIR defaults to build/; every scenario runs when none is named.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
steps_binary="$build/bench/kvx-bench-steps"
[[ -x $steps_binary ]] || { echo "no $steps_binary: build the project first" >&2; exit 2; }

scenarios=("$@")
((${#scenarios[@]})) || scenarios=(open_pane ppd_floor keystroke sync_to_ticket sync_from_ticket summary)

# Enough steps to drown one-time effects, few enough to stay quick.
declare -A steps=([open_pane]=50 [ppd_floor]=50)
default_steps=2000

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
declare -A per_step
printf '%-18s %8s %16s\n' scenario steps instructions/step
for scenario in "${scenarios[@]}"; do
  count=${steps[$scenario]:-$default_steps}
  valgrind --tool=callgrind --collect-atstart=no --toggle-collect=kvx_bench_measured_step \
    --callgrind-out-file="$out/$scenario.out" "$steps_binary" "$scenario" "$count" >/dev/null 2>"$out/$scenario.log" ||
    { cat "$out/$scenario.log" >&2; exit 1; }
  total=$(sed -n 's/^summary: //p' "$out/$scenario.out")
  per_step[$scenario]=$((total / count))
  printf '%-18s %8d %16d\n' "$scenario" "$count" "${per_step[$scenario]}"
done
if [[ -n ${per_step[open_pane]:-} && -n ${per_step[ppd_floor]:-} ]]; then
  awk -v pane="${per_step[open_pane]}" -v floor="${per_step[ppd_floor]}" \
    'BEGIN { printf "open_pane / ppd_floor = %.2f\n", pane / floor }'
fi
