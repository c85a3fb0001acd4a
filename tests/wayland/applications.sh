# Sourced after dialog_session.sh by the tests that drive each toolkit's
# application on any display server, with $toolkit set (gtk3, gtk4, qt5,
# qt6): how its application starts printing on a queue, opens the print
# dialog and shows the pane, with the module installed or without it, and
# where the dialog's own widgets for the pane's keys would show.
lpoptions -d a-korvane >/dev/null  # where a dialog starts that is not told
saved=()  # print settings a GTK application saved
show_pane() {  # QUEUE COUNT: the pane's tab, the third, by keys (Qt has its own)
  show_tab
  wait_for "pane of $1 at" "$2"
}
own_options_hidden() { wait_for "the dialog shows 0 of the pane's options itself"; }  # Qt has its own
case $toolkit in
  gtk3)
    gtk3_path=$GTK_PATH
    with_module() { export GTK_PATH=$gtk3_path GTK_MODULES=kvx-print; }
    without_module() { unset GTK_PATH GTK_MODULES; }
    start_printing() {  # QUEUE [STYLE DIALOGS]
      printf '%s\n' '[Print Settings]' "${saved[@]}" >"$work/saved"
      start_app "${2:-async}" "$1" "${3:-1}" "$work/saved"
    }
    open_dialog() { focus_window '^Print$'; }  # the application opens it
    popup_down=(Down)  # a focused combo box takes Down as a choice
    next_dialog=(Private 00000 true 90517)  # from the last one's choices
    without_pane=(Private 00000 false 00000)
    quit_app() { :; }  # it quits once it has printed
    ;;
  gtk4)
    loader=$(find "$work/prefix" -name libkvx-print-gtk4.so)
    unset GTK_MODULES
    with_module() { [[ $build == installed ]] || export GTK_PATH=${loader%/4.0.0/*}; }  # installed: GTK's own folder
    without_module() { unset GTK_PATH; }
    app=(gtk4-print-editor)
    cd "$work"  # where it keeps its settings
    start_printing() {  # QUEUE: its first dialog starts there, told by every source GTK 4.8 and 4.18 heed:
      printf '%s\n' '[Print Settings]' "printer=$1" "${saved[@]}" >print-settings.ini  # its saved settings,
      lpoptions -d "$1" >/dev/null  # the user's default printer,
      lpadmin -d "$1"  # the scheduler's
      start_app
    }
    open_dialog() {  # the Print action over its session bus, as its menu calls it
      focus_window '^GTK Print Editor'
      gdbus call --session --timeout 60 --dest org.gtk.PrintEditor4 --object-path /org/gtk/PrintEditor4 \
        --method org.gtk.Actions.Activate print '[]' '{}' >/dev/null 2>&1 &
      focus_window '^Print$'
    }
    popup_down=(space Down Return)  # a drop-down opens first
    next_dialog=(Private 00000 true 90517) without_pane=(Private 00000 false 00000)
    quit_app() { focus_window '^GTK Print Editor' && press_keys ctrl+q; }
    ;;
  qt5 | qt6)
    if [[ $build == installed ]]; then
      plugin=$(echo /usr/lib/*/$toolkit/plugins/printsupport/libcupskvxprintsupport.so)
    else
      plugin=$(find "$work/prefix" -path "*/$toolkit/plugins/printsupport/libcupskvxprintsupport.so")
      [[ -n $plugin ]] || { echo "kvx-print for $toolkit is not built" >&2; exit 77; }
      # Qt's CUPS plug-in beside it, as installed.
      ln -s /usr/lib/*/$toolkit/plugins/printsupport/libcupsprintersupport.so "${plugin%/*}/"
    fi
    unset GTK_PATH GTK_MODULES
    with_module() { export QT_PLUGIN_PATH=${plugin%/printsupport/*} QT_PRINTER_MODULE=kvx-print QT_LOGGING_RULES=kvx.print.debug=true; }
    # Qt 6 takes the plug-in only when named, Qt 5 from the folder; the log
    # stays on to tell if it loaded all the same.
    without_module() { unset QT_PRINTER_MODULE; [[ $toolkit == qt6 ]] || unset QT_PLUGIN_PATH; }
    start_printing() { start_app; }
    open_dialog() { focus_window 'Rich Text$' && press_keys ctrl+p && focus_window '^Print'; }  # Qt 5: Print Document
    show_pane() {  # QUEUE COUNT: the options behind "Options >>", then the pane's tab
      local tab
      press_keys alt+o
      wait_for "tab of $1 at" "$2"
      tab=$(grep -o "tab of $1 at [0-9]*,[0-9]*" "$work/app.out" | tail -1 | sed 's/.* at //')
      click_at "${tab%,*}" "${tab#*,}"
      wait_for "pane of $1 at" "$2"
    }
    # Qt 6 on Wayland hands a key taken in a combo box's open list on to the
    # dialog as well (Return prints, Escape cancels; its own printer list
    # alike): the list's item is clicked, rows of 22 pixels, the chosen one
    # over the box. The line "pane of … at" comes before Qt's layout has
    # settled, 9 pixels up and left of the pane: 5 pixels below a control's
    # or a row's middle is inside it either way.
    click_below=5
    [[ -z ${WAYLAND_DISPLAY:-} ]] || choose() {  # CONTROL DOWN...
      local at=($1)
      shift
      click_in_pane "${at[0]}" "${at[1]}"
      sleep 0.5
      click_in_pane "${at[0]}" $((at[1] + 22 * $#))
    }
    # Properties, Advanced: the pane's keys are not there to contradict it.
    own_options_hidden() {
      local dialog=$window
      press_keys alt+r
      wait_for "Advanced shows 0 of the pane's options" 1
      press_keys Return
      focus_window "$dialog"
    }
    popup_down=(Down)  # a closed combo box takes Down as a choice
    next_dialog=(Normal 00000 false 00000)  # from the queue's defaults
    without_pane=(- 00000)  # the DIN as 0, whatever the defaults say; nothing else changed
    quit_app() { focus_window 'Rich Text$' && press_keys ctrl+q; }
    ;;
  *) echo "no toolkit $toolkit" >&2; exit 2 ;;
esac
other_queue() {  # selects b-other in the open dialog; a GTK application is started on it
  [[ $toolkit == gtk* ]] || press_keys alt+n b
}
