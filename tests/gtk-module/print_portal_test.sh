#!/usr/bin/env bash
# A sandboxed application prints through the print portal, whose dialog a
# backend draws with GTK on the host: GNOME's (xdg-desktop-portal-gnome,
# GTK 4: kvx-print loaded as in every GTK 4 process, see
# ../wayland/applications.sh) and the GTK one (xdg-desktop-portal-gtk, GTK 3:
# kvx-print by GTK_MODULES). The application (print_portal_client.py) asks
# xdg-desktop-portal, then prints its PDF with the token of the answer. In
# both, values typed into the tab reach the job while the answer that the
# application keeps holds DIN 00000, and its next print, started from that
# answer, starts at 00000; without the module the answer holds the DIN.
# What a bundle or a pane part that does not load costs the GTK 4 module is
# proven in gtk4-print-editor (../wayland/print_dialog_test.sh).
#   print_portal_test.sh BUILD_DIR SOURCE_DIR
for backend in xdg-desktop-portal xdg-desktop-portal-gnome xdg-desktop-portal-gtk; do
  [[ -x /usr/libexec/$backend ]] || { echo "needs $backend" >&2; exit 77; }
done
source "$(dirname "$0")/dialog_session.sh" "$1" "$2" /usr/bin/python3 "$(dirname "$0")/print_portal_client.py"
gtk3_path=$GTK_PATH
loader=$(find "$work/prefix" -name libkvx-print-gtk4.so)
gtk4_path=${loader%/4.0.0/*}
# Later versions of GNOME's backend draw dialogs only for a session type they know.
export GTK_A11Y=none XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11

portal() {  # BACKEND on|off: that backend alone, with kvx-print or without
  # Debian 12's portal takes it by its UseIn, later ones by the portals.conf
  # beside it (the only one they read then).
  export XDG_DESKTOP_PORTAL_DIR=$work/portals-$1
  mkdir -p "$XDG_DESKTOP_PORTAL_DIR"
  cp "/usr/share/xdg-desktop-portal/portals/$1.portal" "$XDG_DESKTOP_PORTAL_DIR"
  printf '%s\n' '[preferred]' "default=$1" >"$XDG_DESKTOP_PORTAL_DIR/portals.conf"
  unset GTK_PATH GTK_MODULES
  case $1-$2 in
    gnome-on) export GTK_PATH=$gtk4_path ;;
    gtk-on) export GTK_PATH=$gtk3_path GTK_MODULES=kvx-print ;;
  esac
}

expect_answers() {  # WHAT DIN...: the DIN of each answer to PreparePrint, in order
  local got expected
  got=$(sed -n 's/^reply DIN //p' "$work/app.out")
  expected=$(printf '%s\n' "${@:2}")
  [[ $got == "$expected" ]] || fail "$1: the portal answered DIN" $got "instead of" "${@:2}"
  echo "ok: $1"
}

# The application's document: one empty page.
printf '%s\n' '%PDF-1.4' '1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj' '2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj' \
  '3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 595 842]>>endobj' 'trailer<</Root 1 0 R>>' '%%EOF' >"$work/document.pdf"

# Each portal prints twice: values typed, then from the answer the
# application kept. In the first dialog GTK 4's printer is chosen by keys,
# GTK 3's by the application.
for backend in gnome gtk; do
  portal $backend on
  given=()
  [[ $backend == gtk ]] && given=(printer=a-korvane)
  start_app $backend a-korvane "$work/document.pdf" 2 "${given[@]}"
  if [[ $backend == gnome ]]; then
    gtk4_dialog 'tab for a-korvane' 1
    show_gtk4_tab a-korvane
  else
    dialog_after 'pane of a-korvane at'
    show_tab
  fi
  choose "$kPrintMode" Down Down
  type_into "$kDIN" 48213
  choose "$kDepartment" Down
  type_into "$kDC" 90517
  print_now 1
  expect_job a-korvane "$backend portal: the pane's values" Private 48213 true 90517
  dialog_after 'tab for a-korvane' 2
  print_now 2
  finish_app
  expect_job a-korvane "$backend portal: the next print, from the answer, starts without the DIN" Private 00000 true 90517
  expect_answers "$backend portal: the application is answered DIN 00000" 00000 00000
done

# Without the module the answer holds the DIN the job has: here the PPD's
# defaults (a queue's and the user's defaults can come later than a quick
# Print), on a queue named to come first, which GTK 4's dialog then selects
# (GTK 3's takes the application's printer).
sed 's/^\*DefaultDINDigit\([1-5]\): 0/*DefaultDINDigit\1: \1/' "$source/resources/ppd/korvane-rm4750.ppd" >"$work/din.ppd"
lpadmin -p a-din -E -v file:///dev/null -P "$work/din.ppd" 2>/dev/null
for backend in gnome gtk; do
  portal $backend off
  start_app $backend a-din "$work/document.pdf" 1 printer=a-din
  print_blindly
  finish_app
  expect_job a-din "$backend portal without kvx-print: the PPD's DIN" Normal 12345 false 00000
  expect_answers "$backend portal without kvx-print: the application is answered the DIN" 12345
done
