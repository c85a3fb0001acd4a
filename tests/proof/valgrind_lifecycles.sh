#!/usr/bin/env bash
# Writes a dialog script with COUNT lifecycles' worth of a user's actions to
# SCRIPT, then runs the rest of the command line on it:
#   valgrind_lifecycles.sh COUNT SCRIPT valgrind [options] kvx-dialog
# The dialog's reports go to /dev/null; valgrind speaks on stderr.
set -euo pipefail
count=$1 script=$2
shift 2

{
  echo "# ${count} lifecycles' worth of choices, typing, syncs and reports"
  for ((round = 0; round < count; round++)); do
    echo "choose print-mode 3"
    echo "select din 0 5"
    echo "type din $((round % 100000))"
    echo "choose department On"
    echo "select dc 0 5"
    echo "type dc $((round * 7 % 1000))"
    echo "key dc backspace"
    echo "settext din $((round % 1000))"
    echo "sync to-ticket"
    echo "summary"
    echo "choose print-mode $((round % 5 + 1))"
    echo "choose department 1"
    echo "sync from-ticket"
    echo "show"
  done
  echo "ok"
  echo "ticket"
} >"$script"

"$@" --script "$script" >/dev/null
