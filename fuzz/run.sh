#!/usr/bin/env bash
# Runs fuzz targets with libFuzzer for a given time each.
#
#   fuzz/run.sh SECONDS [TARGET...]
#
# Targets: strings nib printer_check ticket_pane digit_keys (default: all).
# Builds them with clang in build-fuzz (KVX_FUZZ=ON: ASan+UBSan, coverage for
# libFuzzer in the host library and the plug-in too), then runs each on a
# scratch copy of its seed corpus under build-fuzz/runs/TARGET/, with
# crashing inputs kept in build-fuzz/runs/TARGET/artifacts/. KVX_FUZZ_PARALLEL
# (default 1) targets run at once, niced; KVX_FUZZ_ARGS adds libFuzzer
# options (e.g. "-len_control=0 -max_len=512"). Prints executions, speed, corpus
# growth and coverage per target; exits 1 when any target found a fault.
set -euo pipefail

all_targets=(strings nib printer_check ticket_pane digit_keys)
if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
  sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
((${#targets[@]})) || targets=("${all_targets[@]}")

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
parallel=${KVX_FUZZ_PARALLEL:-1}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKVX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/%/_fuzzer}" >/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:detect_odr_violation=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/fuzz/lsan.supp}

run_target() {
  local target=$1 run=$build/runs/$1
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/artifacts"
  cp -R "$root/fuzz/corpus/$target/." "$run/corpus/"
  local options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$run/artifacts/")
  [[ -f $root/fuzz/dict/$target.dict ]] && options+=(-dict="$root/fuzz/dict/$target.dict")
  read -ra extra <<<"${KVX_FUZZ_ARGS:-}"
  options+=("${extra[@]}")
  nice -n 10 "$build/fuzz/${target}_fuzzer" "${options[@]}" "$run/corpus" >"$run/log" 2>&1 || true
}

report_target() {
  local target=$1 run=$build/runs/$1
  local stat
  stat() { grep -m1 "^stat::$1:" "$run/log" | awk '{print $2}'; }
  local seeds
  seeds=$(find "$root/fuzz/corpus/$target" -type f | wc -l)
  printf '%-14s execs %s, %s exec/s, corpus %s -> %s inputs, %s\n' "$target" \
    "$(stat number_of_executed_units)" "$(stat average_exec_per_sec)" "$seeds" \
    "$(find "$run/corpus" -type f | wc -l)" \
    "$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$run/log" | sed -n '1p;$p' | paste -sd '>' | sed 's/>/ -> /')"
  if compgen -G "$run/artifacts/*" >/dev/null; then
    echo "  FOUND: $(ls "$run/artifacts" | paste -sd ' ')  (log: $run/log)"
    return 1
  fi
}

for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= parallel)); do wait -n; done
  run_target "$target" &
done
wait

found=0
for target in "${targets[@]}"; do report_target "$target" || found=1; done
exit "$found"
