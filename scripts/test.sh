#!/usr/bin/env bash
# Runs the whole test suite twice: a normal build, and one under
# AddressSanitizer + UndefinedBehaviorSanitizer, failing on any report.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

bash scripts/build.sh build -DCMAKE_INSTALL_PREFIX=/usr
(cd build && ctest --output-on-failure -j"$(nproc)")

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_odr_violation=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bash scripts/build.sh build-asan -DKVX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd build-asan && ctest --output-on-failure -j"$(nproc)")
