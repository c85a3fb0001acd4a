#!/usr/bin/env bash
# The main job: installs what the build needs, builds everything and runs the
# print dialog on the demo script, printing its reports.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build
build/dialog/kvx-dialog --script dialog/demo.script
