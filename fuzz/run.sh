#!/usr/bin/env bash
# Runs fuzz targets with libFuzzer for a given time each.
#
#   fuzz/run.sh SECONDS [TARGET...]
#
# Targets: strings nib printer_check ticket_pane digit_keys (default: all).
# Builds them with clang in build-fuzz (KVX_FUZZ=ON: ASan+UBSan, coverage for
# libFuzzer in the host library and the plug-in too), then runs each in turn,
# niced, from its seed corpus: new inputs go to build-fuzz/runs/TARGET/corpus,
# crashing ones to build-fuzz/runs/TARGET/artifacts. KVX_FUZZ_ARGS adds
# libFuzzer options (e.g. "-len_control=0 -max_len=512"). Prints each
# target's executions and speed; exits 1 when any target found a fault.
set -euo pipefail
seconds=${1:?usage: fuzz/run.sh SECONDS [TARGET...]}
shift
read -ra targets <<<"${*:-strings nib printer_check ticket_pane digit_keys}"
read -ra extra <<<"${KVX_FUZZ_ARGS:-}"
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKVX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/%/_fuzzer}" >/dev/null
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:detect_odr_violation=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/fuzz/lsan.supp}
found=0
for target in "${targets[@]}"; do
  run=$build/runs/$target
  rm -rf "$run" && mkdir -p "$run/corpus" "$run/artifacts"
  dict=$root/fuzz/dict/$target.dict
  nice -n 10 "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$run/artifacts/" -dict="$dict" "${extra[@]}" "$run/corpus" "$root/fuzz/corpus/$target" >"$run/log" 2>&1 || true
  echo "$target: $(grep -E '^stat::(number_of_executed_units|average_exec_per_sec):' "$run/log" | paste -sd ' ')"
  if compgen -G "$run/artifacts/*" >/dev/null; then
    echo "  FOUND: $(ls "$run/artifacts" | paste -sd ' ')  (log: $run/log)"
    found=1
  fi
done
exit "$found"
