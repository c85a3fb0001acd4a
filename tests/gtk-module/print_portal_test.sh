#!/usr/bin/env bash
# A sandboxed application prints through GNOME's print portal: the
# application (print_portal_client.py) asks xdg-desktop-portal, whose GNOME
# backend, a GTK 4 program, shows GtkPrintUnixDialog with kvx-print for GTK 4
# loaded as in every GTK 4 process (see gtk4_print_editor_test.sh), then
# prints the application's PDF with that dialog's settings. Values typed
# into the tab reach the job. With a bundle that does not load, the dialog
# prints as without the module, but for the DIN that the application saved,
# which is not sent; with a pane part that does not load, it prints as
# without the module. Either fault costs one line on stderr.
#   print_portal_test.sh BUILD_DIR SOURCE_DIR
[[ -x /usr/libexec/xdg-desktop-portal && -x /usr/libexec/xdg-desktop-portal-gnome ]] ||
  { echo "needs xdg-desktop-portal-gnome" >&2; exit 77; }
source "$(dirname "$0")/dialog_session.sh" "$1" "$2" /usr/bin/python3 "$(dirname "$0")/print_portal_client.py"
loader=$(find "$work/prefix" -name libkvx-print-gtk4.so)
# Later versions of GNOME's backend draw dialogs only for a session type they know.
export GTK_PATH=${loader%/4.0.0/*} GTK_A11Y=none XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11
unset GTK_MODULES
# GNOME's backend alone: Debian 12's portal takes it by its UseIn, later
# ones by the portals.conf beside it (the only one they read then).
export XDG_DESKTOP_PORTAL_DIR=$work/portals
mkdir "$XDG_DESKTOP_PORTAL_DIR"
cp /usr/share/xdg-desktop-portal/portals/gnome.portal "$XDG_DESKTOP_PORTAL_DIR"
printf '%s\n' '[preferred]' 'default=gnome' >"$XDG_DESKTOP_PORTAL_DIR/portals.conf"
# The application's document: one empty page.
printf '%s\n' '%PDF-1.4' '1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj' '2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj' \
  '3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 595 842]>>endobj' 'trailer<</Root 1 0 R>>' '%%EOF' >"$work/document.pdf"

start_app a-korvane "$work/document.pdf"
gtk4_dialog 'tab for a-korvane' 1
show_gtk4_tab a-korvane
choose "$kPrintMode" Down Down
type_into "$kDIN" 48213
choose "$kDepartment" Down
type_into "$kDC" 90517
print_now 1
finish_app
expect_job a-korvane "print portal: the pane's values" Private 48213 true 90517

# A bundle that does not load, and an application that hands the portal
# the print mode and DIN it saved.
rm "$(find "$work/prefix" -path '*/KVXPDE.plugin/Contents/MacOS')"/*
start_app a-korvane "$work/document.pdf" cups-PrintMode=Private cups-DINDigit{1..5}=9
gtk4_dialog 'no pane for a-korvane' 1
print_now 1
finish_app 1
(($(count 'tab for') == 0)) || fail "a tab without a bundle"
expect_job a-korvane "print portal: a broken bundle costs one line and no tab, and the saved DIN is not sent" \
  Private 00000 false 00000

# A pane part that does not load: one line, and the dialog, given the
# printer by the application, prints as without the module.
: >"$(find "$work/prefix" -name libkvx-print-gtk4-pane.so)"
start_app a-korvane "$work/document.pdf" printer=a-korvane
print_blindly
finish_app 1
echo "ok: print portal: without its pane part the module costs one line"
