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

# The person's hands, on the X server; a Wayland test brings its own first
# (tests/wayland/sway_session.sh).
if ! declare -F press_keys >/dev/null; then
  command -v xdotool >/dev/null && [[ -n ${DISPLAY:-} ]] || { echo "needs xdotool and a display" >&2; exit 77; }
  focus_window() {  # PATTERN|ID: waits for a shown window so named (or that one), focuses it and makes it $window
    [[ $1 =~ ^[0-9]+$ ]] && window=$1 || window=$(xdotool search --sync --onlyvisible --name "$1" | head -1)
    # One just mapped may refuse the focus yet (X's BadMatch ends xdotool).
    local try=0
    until xdotool windowfocus --sync "$window" 2>/dev/null; do ((++try < 50)) || return 1; sleep 0.1; done
  }
  press_keys() { xdotool key --delay 150 "$@"; }  # KEY...: X keysym names, with ctrl+, alt+, shift+
  type_text() { xdotool type --delay 60 "$1"; }
  click_at() { xdotool mousemove --sync --window "$window" "$1" "$2" click 1; }  # X Y in $window
fi

# Where the pane's controls are, from the pane's top left (its interface file).
readonly kPrintMode="225 28" kDIN="395 29" kDINEnd="412 29" kDepartment="225 62" kDC="395 63"
# The printer list's rows in GTK's dialog ("Print to File" first, then by name).
readonly kPrinterRowX=70 kFirstPrinterRowY=86 kPrinterRowPitch=23
readonly kPaneKeys='^(PrintMode|DINDigit[1-5]|DeptCode|DCDigit[1-5]|ZELOrientation)='

work=$(mktemp -d)
app_pid=
at_exit=()  # more cleanup commands, run first, the last one added first; $status is the test's
cleanup() {  # every step runs, whatever the one before it did
  local status=$?
  set +e
  if [[ -n $app_pid ]]; then kill "$app_pid" 2>/dev/null; fi  # timeout ends the application's process group
  local step
  for ((step = ${#at_exit[@]} - 1; step >= 0; --step)); do eval "${at_exit[step]}"; done
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
  focus_window '^Print$'
}

finish_app() {  # [LINES]: the application's end; of kvx, only the module's LINES on its stderr (none by default)
  wait "$app_pid" || fail "the application exited with status $?"
  app_pid=
  (($(grep -c '^kvx-print: ' "$work/app.err") == ${1:-0})) || fail "kvx-print did not say ${1:-0} line(s)"
  ! grep -v '^kvx-print: ' "$work/app.err" | grep -iE 'kvx|korvane' || fail "the plug-in or kvx-dialog spoke on stderr"
}

click_below=0  # pixels below the point asked for, where a toolkit reports its pane's corner too high
click_in_pane() {  # X Y from the pane's top left
  local origin
  origin=$(grep -o 'pane of [^ ]* at [0-9]*,[0-9]*' "$work/app.out" | tail -1 | sed 's/.* at //')
  click_at $((${origin%,*} + $1)) $((${origin#*,} + $2 + click_below))
}

choose() {  # CONTROL DOWN...: open the popup, move down, take the item
  click_in_pane $1
  shift
  press_keys "$@" Return
  # GTK 4 closes the popup's popover with an animation: a click that comes
  # before it has gone only closes it.
  sleep 0.5
}

type_into() {  # CONTROL TEXT
  click_in_pane $1
  press_keys ctrl+a
  type_text "$2"
}

show_tab() { press_keys ctrl+Page_Down ctrl+Page_Down; }

# GTK 4's dialog takes keys in its printer list as it opens; its tabs are
# reached by a click on the first one, then Right.
gtk4_dialog() {  # PATTERN COUNT: selects a printer by Down, then Up, until the module says PATTERN the COUNTth time
  # GTK 4 names the window before it maps it; focus goes only to a mapped one.
  focus_window '^Print$'
  # It may start on the last queue (the first to answer it), and takes keys
  # only a moment after it maps.
  for ((try = 0; try < 10 && $(count "$1") < $2; ++try)); do press_keys "$( ((try < 5)) && echo Down || echo Up)"; sleep 1; done
  dialog_after "$1" "$2"
}
show_gtk4_tab() {  # QUEUE
  click_at 40 18
  for ((try = 0; try < 8 && $(count "pane of $1 at") == 0; ++try)); do press_keys Right; sleep 0.5; done
}

select_printer_row() {  # ROW (0: Print to File)
  press_keys ctrl+Page_Up ctrl+Page_Up
  click_at "$kPrinterRowX" $((kFirstPrinterRowY + $1 * kPrinterRowPitch))
}

print_now() {  # COUNT: then waits for the application to say so, the COUNTth time
  press_keys alt+p
  wait_for '^printed$' "$1"
}

print_blindly() {  # for a dialog without the module's log: Print until the application has printed
  focus_window '^Print$'
  while kill -0 "$app_pid" 2>/dev/null && (($(count '^printed$') == 0)); do
    # The dialog may close between the check and the key: that is the print.
    press_keys alt+p 2>/dev/null || true
    sleep 0.3
  done
}

# ---- what reached the scheduler ----------------------------------------------

expect_job() {  # QUEUE WHAT [MODE DIN DEPT DC | - DIN]: the pane's keys of the queue's latest job; none
  local job got expected= i  # without MODE; MODE - for the DIN alone
  job=$(lpstat -W all -o "$1" | sed -n "s/^$1-\([0-9]*\) .*/\1/p" | sort -n | tail -1)
  [[ -n $job ]] || fail "no job on $1"
  got=$(ipptool -tv "ipp://$CUPS_SERVER/jobs/$job" get-job-attributes.test |
    sed -n 's/^ *\([A-Za-z0-9]*\) ([a-zA-Z]*) = \(.*\)$/\1=\2/p' | { grep -E "$kPaneKeys" || true; } | sort)
  if (($# > 2)); then
    expected=$(for ((i = 0; i < 5; ++i)); do echo "DINDigit$((i + 1))=${4:i:1}"; done
      [[ $3 == - ]] || for ((i = 0; i < 5; ++i)); do echo "DCDigit$((i + 1))=${6:i:1}"; done
      [[ $3 == - ]] || echo "PrintMode=$3" "DeptCode=$5" ZELOrientation=Portrait)
    expected=$(tr ' ' '\n' <<<"$expected" | sort)
  fi
  [[ $got == "$expected" ]] || fail "$2: the job on $1 carries
$got
instead of
$expected"
  echo "ok: $2"
}
