# Sourced by the Wayland tests before dialog_session.sh: the person's hands
# on a headless sway (Debian's), with a seat that takes synthetic input. Keys
# and clicks go through wayvnc's keyboard and pointer (seat.py), the windows
# are sway's. After dialog_session.sh has made the test's folder, start_sway
# starts the compositor and points every toolkit at it, and at nothing else.
for tool in sway swaymsg wayvnc grim; do
  command -v $tool >/dev/null || { echo "needs sway, wayvnc and grim" >&2; exit 77; }
done
readonly seat_helper=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/seat.py
sway_dir=

focus_window() {  # PATTERN: waits for a shown window so named, focuses it and makes it $window
  local found= try
  for ((try = 0; try < 150; ++try)); do  # 15 s
    found=$(/usr/bin/python3 "$seat_helper" - window "$1") && break
    sleep 0.1
  done
  [[ -n $found ]] || fail "no window $1"
  window=${found%% *}
  swaymsg -q "[con_id=$window] focus"
}
seat() {  # COMMAND...: to seat.py, which says when it is done
  local reply
  echo "$*" >&"$seat_in"
  read -r reply <&"$seat_out" && [[ $reply == done ]] || fail "seat.py did not take \"$*\""
}
press_keys() { seat key "$@"; }
type_text() { press_keys $(grep -o . <<<"$1"); }  # TEXT: each character a key
click_at() {  # X Y in $window, wherever sway placed it now
  local at
  at=$(/usr/bin/python3 "$seat_helper" - window "$window") || fail "window $window is gone"
  at=${at#* }
  seat click $((${at% *} + $1)) $((${at#* } + $2))
}

# Waits until PATH exists, or the process PID has ended.
wait_for_socket() {  # PATH PID
  local try
  for ((try = 0; try < 100; ++try)); do
    [[ -S $1 ]] && return 0
    kill -0 "$2" 2>/dev/null || break
    sleep 0.1
  done
  fail "no $1: $(cat "$sway_dir/sway.log" "$sway_dir/wayvnc.log" 2>/dev/null)"
}

start_sway() {
  # sway refuses to run as root: as root, it runs as nobody, in a folder of that user's.
  local as_user=()
  sway_dir=$(mktemp -d)
  at_exit+=('rm -rf "$sway_dir"')
  mkdir -m 0700 "$sway_dir/runtime" "$sway_dir/home"
  if ((EUID == 0)); then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 0755 "$sway_dir"
    chown 65534:65534 "$sway_dir/runtime" "$sway_dir/home"
  fi
  # A dialog without a parent floats, as on a desktop.
  printf '%s\n' 'xwayland disable' 'output HEADLESS-1 resolution 1024x768' \
    'for_window [title="^Print$"] floating enable' >"$sway_dir/config"
  local environment=(env -i PATH="$PATH" XDG_RUNTIME_DIR="$sway_dir/runtime" HOME="$sway_dir/home")
  "${environment[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${as_user[@]}" sway -c "$sway_dir/config" >"$sway_dir/sway.log" 2>&1 &
  local sway_pid=$!
  at_exit+=("kill $sway_pid")
  wait_for_socket "$sway_dir/runtime/wayland-1" "$sway_pid"
  export WAYLAND_DISPLAY=$sway_dir/runtime/wayland-1
  SWAYSOCK=$(find "$sway_dir/runtime" -name 'sway-ipc.*.sock')
  export SWAYSOCK
  # wayvnc's keyboard and pointer join the seat, and stay while it runs.
  "${environment[@]}" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" "${as_user[@]}" wayvnc -u "$sway_dir/runtime/vnc.sock" \
    >"$sway_dir/wayvnc.log" 2>&1 &
  at_exit+=("kill $!")
  wait_for_socket "$sway_dir/runtime/vnc.sock" $!
  mkfifo "$sway_dir/seat.in" "$sway_dir/seat.out"
  /usr/bin/python3 "$seat_helper" "$sway_dir/runtime/vnc.sock" <"$sway_dir/seat.in" >"$sway_dir/seat.out" &
  at_exit+=("kill $!")
  exec {seat_in}>"$sway_dir/seat.in" {seat_out}<"$sway_dir/seat.out"
  # What the screen showed when the test failed, beside CTest's log.
  local shot=$build/Testing/Temporary/wayland-${toolkit:-test}.png
  at_exit+=("((status == 0)) || ! grim '$shot' 2>/dev/null || echo 'screenshot: $shot'")
  unset DISPLAY
  mkdir -m 0700 "$work/runtime"
  export XDG_RUNTIME_DIR=$work/runtime GDK_BACKEND=wayland QT_QPA_PLATFORM=wayland
  # GTK 3 draws its dialog's shadow inside its window, around what sway
  # places: without it, the window's corner is the dialog's, as on X11.
  mkdir -p "$HOME/.config/gtk-3.0"
  echo 'decoration { box-shadow: none; margin: 0; }' >"$HOME/.config/gtk-3.0/gtk.css"
}

