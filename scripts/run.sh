#!/usr/bin/env bash
# The main job: installs what the build needs, builds everything and runs the
# print dialog: its window on the sample printer when a display is there, else
# the demo script headless, printing its reports.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build
if [[ -n "${DISPLAY:-}" ]]; then
  # A display is there: the window, on the sample printer.
  build/dialog/kvx-dialog --gui
else
  build/dialog/kvx-dialog --script dialog/demo.script
fi
