# Sourced by the module's end-to-end tests: an unmodified GTK 3 application
# prints through its print dialog with kvx-print loaded by name from an
# installed prefix, on the X server that xvfb-run gives it, against a
# private CUPS scheduler. xdotool plays the person; the jobs' attributes,
# read back from the scheduler, tell what reached CUPS.
#   source dialog_session.sh BUILD_DIR|installed SOURCE_DIR APPLICATION...
set -euo pipefail
build=$1 source=$2
shift 2
app=("$@")
command -v xdotool >/dev/null && [[ -n ${DISPLAY:-} ]] || { echo "needs xdotool and a display" >&2; exit 77; }

# Where the pane's controls are, from the pane's top left (its interface file).
readonly kPrintMode="225 28" kDIN="395 29" kDepartment="225 62" kDC="395 63"
# The printer list's rows in GTK's dialog ("Print to File" first, then by name).
readonly kPrinterRowX=70 kFirstPrinterRowY=86 kPrinterRowPitch=23
readonly kPaneKeys='^(PrintMode|DINDigit[1-5]|DeptCode|DCDigit[1-5]|ZELOrientation)='

work=$(mktemp -d)
app_pid=
cleanup() {  # every step runs, whatever the one before it did
  set +e
  if [[ -n $app_pid ]]; then kill "$app_pid" 2>/dev/null; fi  # timeout ends the application's process group
  bash "$source/tests/cups/private-cupsd.sh" stop "$work/cups"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  cat "$work/app.out" "$work/app.err" >&2 2>/dev/null || true
  exit 1
}

CUPS_SERVER=$(bash "$source/tests/cups/private-cupsd.sh" start "$work/cups")
# Nobody's own printer defaults or GTK settings take part.
mkdir "$work/home" "$work/client-root"
export CUPS_SERVER HOME=$work/home CUPS_SERVERROOT=$work/client-root
sed 's/^\*DefaultDeptCode: False/*DefaultDeptCode: True/' "$source/resources/ppd/korvane-rm4750.ppd" >"$work/dept.ppd"
for queue in a-korvane:$source/resources/ppd/korvane-rm4750.ppd b-other:$source/resources/ppd/korvane-rm2200.ppd \
             c-dept:$work/dept.ppd; do
  lpadmin -p "${queue%%:*}" -E -v file:///dev/null -P "${queue#*:}" 2>/dev/null
done
# A DIN among the queue's defaults, the administrator's and the user's: GTK
# puts it into the dialog's widgets, and it must start neither them nor the pane.
lpadmin -p a-korvane -o DINDigit1=7 && lpoptions -p a-korvane -o DINDigit2=4 -o DINDigit3=4 -o DINDigit5=4 >/dev/null

if [[ $build == installed ]]; then
  # The packages' files where the toolkits look, turned on by their X session files.
  mkdir "$work/prefix"
  for session_file in /etc/X11/Xsession.d/90kvx-print*; do [[ ! -f $session_file ]] || . "$session_file"; done
else
  cmake --install "$build" --prefix "$work/prefix" >/dev/null
  module=$(find "$work/prefix" -name libkvx-print.so)
  export GTK_PATH=${module%/modules/*} GTK_MODULES=kvx-print
fi
export G_MESSAGES_DEBUG=kvx-print NO_AT_BRIDGE=1

# ---- the application and its dialog ----------------------------------------

start_app() {  # ARGUMENTS...; a stuck application ends after a minute
  timeout 60 "${app[@]}" "$@" >"$work/app.out" 2>"$work/app.err" &
  app_pid=$!
}

count() { grep -c -- "$1" "$work/app.out" || true; }

wait_for() {  # PATTERN [COUNT]: until the application has said it COUNT times
  for ((try = 0; try < 150; ++try)); do  # 15 s
    (($(count "$1") >= ${2:-1})) && return 0
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "waited for \"$1\" x${2:-1}"
}

window=
dialog_after() {  # PATTERN [COUNT]: waits for it, then takes the dialog's window
  wait_for "$@"
  window=$(xdotool search --sync --name '^Print$' | head -1)
  xdotool windowfocus --sync "$window"
}

finish_app() {  # [LINES]: the application's end; of kvx, only the module's LINES on its stderr (none by default)
  wait "$app_pid" || fail "the application exited with status $?"
  app_pid=
  (($(grep -c '^kvx-print: ' "$work/app.err") == ${1:-0})) || fail "kvx-print did not say ${1:-0} line(s)"
  ! grep -v '^kvx-print: ' "$work/app.err" | grep -iE 'kvx|korvane' || fail "the plug-in or kvx-dialog spoke on stderr"
}

click_in_pane() {  # X Y from the pane's top left
  local origin
  origin=$(grep -o 'pane of [^ ]* at [0-9]*,[0-9]*' "$work/app.out" | tail -1 | sed 's/.* at //')
  xdotool mousemove --sync --window "$window" $((${origin%,*} + $1)) $((${origin#*,} + $2)) click 1
}

choose() {  # CONTROL DOWN...: open the popup, move down, take the item
  click_in_pane $1
  shift
  xdotool key --delay 150 "$@" Return
  # GTK 4 closes the popup's popover with an animation: a click that comes
  # before it has gone only closes it.
  sleep 0.5
}

type_into() {  # CONTROL TEXT
  click_in_pane $1
  xdotool key ctrl+a
  xdotool type --delay 60 "$2"
}

show_tab() { xdotool key --delay 150 ctrl+Page_Down ctrl+Page_Down; }

# GTK 4's dialog takes keys in its printer list as it opens; its tabs are
# reached by a click on the first one, then Right.
gtk4_dialog() {  # PATTERN COUNT: selects a printer by Down, then Up, until the module says PATTERN the COUNTth time
  # GTK 4 names the window before it maps it; focus goes only to a mapped one.
  window=$(xdotool search --sync --onlyvisible --name '^Print$' | head -1)
  xdotool windowfocus --sync "$window"
  # It may start on the last queue (the first to answer it), and takes keys
  # only a moment after it maps.
  for ((try = 0; try < 10 && $(count "$1") < $2; ++try)); do xdotool key "$( ((try < 5)) && echo Down || echo Up)"; sleep 1; done
  dialog_after "$1" "$2"
}
show_gtk4_tab() {  # QUEUE
  xdotool mousemove --sync --window "$window" 40 18 click 1
  for ((try = 0; try < 8 && $(count "pane of $1 at") == 0; ++try)); do xdotool key Right; sleep 0.5; done
}

select_printer_row() {  # ROW (0: Print to File)
  xdotool key --delay 150 ctrl+Page_Up ctrl+Page_Up
  xdotool mousemove --sync --window "$window" "$kPrinterRowX" $((kFirstPrinterRowY + $1 * kPrinterRowPitch)) click 1
}

print_now() {  # COUNT: then waits for the application to say so, the COUNTth time
  xdotool key alt+p
  wait_for '^printed$' "$1"
}

print_blindly() {  # for a dialog without the module's log: Print until the application has printed
  window=$(xdotool search --sync --name '^Print$' | head -1)
  while kill -0 "$app_pid" 2>/dev/null && (($(count '^printed$') == 0)); do
    # The dialog may close between the check and the key: that is the print.
    xdotool windowfocus --sync "$window" key alt+p 2>/dev/null || true
    sleep 0.3
  done
}

# ---- what reached the scheduler ----------------------------------------------

expect_job() {  # QUEUE WHAT [MODE DIN DEPT DC]: the pane's keys of the queue's latest job; none without MODE
  local job got expected= i
  job=$(lpstat -W all -o "$1" | sed -n "s/^$1-\([0-9]*\) .*/\1/p" | sort -n | tail -1)
  [[ -n $job ]] || fail "no job on $1"
  got=$(ipptool -tv "ipp://$CUPS_SERVER/jobs/$job" get-job-attributes.test |
    sed -n 's/^ *\([A-Za-z0-9]*\) ([a-zA-Z]*) = \(.*\)$/\1=\2/p' | { grep -E "$kPaneKeys" || true; } | sort)
  if (($# > 2)); then
    expected=$(for ((i = 0; i < 5; ++i)); do echo "DINDigit$((i + 1))=${4:i:1}" "DCDigit$((i + 1))=${6:i:1}"; done
      echo "PrintMode=$3" "DeptCode=$5" ZELOrientation=Portrait)
    expected=$(tr ' ' '\n' <<<"$expected" | sort)
  fi
  [[ $got == "$expected" ]] || fail "$2: the job on $1 carries
$got
instead of
$expected"
  echo "ok: $2"
}
