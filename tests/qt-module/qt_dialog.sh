# Sourced after ../gtk-module/dialog_session.sh by the office's test, which
# drives a Qt application's QPrintDialog (its main window titled "... Rich
# Text") on X11: kvx-print's print-support plug-in for Qt VERSION from the
# installed prefix, with Qt's CUPS plug-in beside it, as installed (the
# folder's order decides), and the steps of a print.
#   source qt_dialog.sh VERSION
# shellcheck shell=bash
qt_version=$1
plugin=$(find "$work/prefix" -path "*/qt$qt_version/plugins/printsupport/libcupskvxprintsupport.so")
[[ -n $plugin ]] || { echo "kvx-print for Qt $qt_version is not built" >&2; exit 77; }
ln -s /usr/lib/*/qt"$qt_version"/plugins/printsupport/libcupsprintersupport.so "${plugin%/*}/"
export QT_PLUGIN_PATH=${plugin%/printsupport/*} QT_QPA_PLATFORM=xcb QT_LOGGING_RULES=kvx.print.debug=true
((qt_version == 5)) || export QT_PRINTER_MODULE=kvx-print

qt_main_window() { xdotool search --sync --name 'Rich Text$' | head -1; }

qt_print_dialog() {  # PATTERN COUNT: Ctrl+P in the main window, then waits for the dialog to say it
  xdotool windowfocus --sync "$(qt_main_window)" key ctrl+p
  wait_for "$1" "$2"
  window=$(xdotool search --sync --name '^Print' | head -1)
  xdotool windowfocus --sync "$window"
}

qt_show_tab() {  # QUEUE COUNT: the options behind "Options >>", then the pane's tab
  local tab
  xdotool key alt+o
  wait_for "tab of $1 at" "$2"
  tab=$(grep -o "tab of $1 at [0-9]*,[0-9]*" "$work/app.out" | tail -1 | sed 's/.* at //')
  xdotool mousemove --sync --window "$window" "${tab%,*}" "${tab#*,}" click 1
  wait_for "pane of $1 at" "$2"
}

qt_quit() { xdotool windowfocus --sync "$(qt_main_window)" key ctrl+q; }
