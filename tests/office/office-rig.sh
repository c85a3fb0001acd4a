# The office: a print server and a desktop, each a private scheduler on
# loopback, every file under one work folder. Source it, set rig_work and
# rig_source, call rig_stop from an EXIT trap, then:
#   rig_start_server          the server's cupsd, its Korvane queue (shared),
#                             whose device is a listener saving what it gets
#   rig_start_desktop         the desktop's cupsd, with a D-Bus system bus of
#                             its own for cups-browsed's notifications; on
#                             TCP ($rig_desktop) and on a domain socket
#                             ($rig_desktop_socket), which GTK's dialogs need
#                             for the queues CUPS marks remote (README)
#   rig_add_ppd_queue NAME    a desktop queue with the Korvane PPD -> the server
#   rig_add_everywhere_queue NAME     a driverless queue (lpadmin -m everywhere)
#   rig_add_temporary_queue NAME      CUPS' temporary queue (CUPS-Create-Local-Printer)
#   rig_start_browsed         cups-browsed polling the server; prints its queue
# Every wait is bounded and fails with the log that tells why.
# shellcheck shell=bash

readonly rig_wait_tries=300     # x 0.1 s
readonly rig_job_tries=600      # x 0.1 s: a job goes through two schedulers' filters

rig_cupsd() { bash "$rig_source/tests/cups/private-cupsd.sh" "$@"; }

# Runs "$@" every 0.1 s until it succeeds, at most TRIES times.
rig_wait() {
  local tries=$1
  shift
  for ((try = 0; try < tries; ++try)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

rig_fail() {
  echo "office rig: $*" >&2
  local log
  for log in "$rig_work"/server/log/error_log "$rig_work"/desktop/log/error_log "$rig_work"/browsed/log/*; do
    [[ -s $log ]] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
  done
  return 1
}

rig_start_server() {
  mkdir -p "$rig_work/printer"
  python3 "$rig_source/tests/office/printer_listener.py" "$rig_work/printer" &
  echo $! >"$rig_work/printer.pid"
  rig_wait "$rig_wait_tries" test -s "$rig_work/printer/port" || rig_fail "the printer's listener did not start"
  rig_server=$(rig_cupsd start "$rig_work/server" shared)
  CUPS_SERVER=$rig_server lpadmin -p korvane -E -v "socket://127.0.0.1:$(cat "$rig_work/printer/port")" \
    -P "$rig_source/resources/ppd/korvane-rm4750.ppd" -o printer-is-shared=true 2>/dev/null
}

# cups-browsed learns of the desktop's jobs from cupsd's D-Bus notifier, which
# speaks on the system bus: here a bus of the rig's own, for cupsd, its
# notifier and cups-browsed alike.
rig_start_desktop() {
  mkdir -p "$rig_work/bus" "$rig_work/desktop"
  rig_bus=unix:path=$rig_work/bus/socket
  cat >"$rig_work/bus/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>$rig_bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
  dbus-daemon --config-file="$rig_work/bus/bus.conf" --nofork 2>"$rig_work/bus/log" &
  echo $! >"$rig_work/bus.pid"
  rig_wait "$rig_wait_tries" test -S "$rig_work/bus/socket" || rig_fail "the D-Bus bus did not start"
  echo "SetEnv DBUS_SYSTEM_BUS_ADDRESS $rig_bus" >"$rig_work/desktop/cups-files.conf.extra"
  rig_desktop_socket=$rig_work/desktop/cups.sock
  echo "Listen $rig_desktop_socket" >"$rig_work/desktop/cupsd.conf.extra"
  rig_desktop=$(DBUS_SYSTEM_BUS_ADDRESS=$rig_bus rig_cupsd start "$rig_work/desktop")
}

rig_queue_idle() { [[ $(CUPS_SERVER=$rig_desktop lpstat -p "$1" 2>/dev/null) == *"is idle"* ]]; }

rig_add_ppd_queue() {
  CUPS_SERVER=$rig_desktop lpadmin -p "$1" -E -v "ipp://$rig_server/printers/korvane" \
    -P "$rig_source/resources/ppd/korvane-rm4750.ppd" 2>/dev/null
}

rig_add_everywhere_queue() {
  CUPS_SERVER=$rig_desktop lpadmin -p "$1" -E -v "ipp://$rig_server/printers/korvane" -m everywhere
}

# What a desktop's print dialog asks of CUPS for a shared printer it found:
# the scheduler makes the queue and its PPD in the background. The server
# by its name: CUPS 2.4.10 hands back a queue that has the same device URI
# instead (the other set-ups' queues name it by address).
rig_add_temporary_queue() {
  ipptool -d "name=$1" -d "device=ipp://localhost:${rig_server##*:}/printers/korvane" \
    "ipp://$rig_desktop/" /dev/stdin >/dev/null <<'TEST'
{
  OPERATION CUPS-Create-Local-Printer
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  GROUP printer-attributes-tag
  ATTR name printer-name $name
  ATTR uri device-uri $device
  STATUS successful-ok
}
TEST
  rig_wait "$rig_wait_tries" rig_queue_idle "$1" || rig_fail "the temporary queue $1 did not become ready"
}

# cups-browsed with the desktop's cupsd, polling the server as an office
# without DNS-SD would configure it; its cache and logs in the rig.
rig_start_browsed() {
  mkdir -p "$rig_work/browsed/cache" "$rig_work/browsed/log"
  cat >"$rig_work/browsed/cups-browsed.conf" <<CONF
BrowseRemoteProtocols none
BrowseLocalProtocols none
BrowsePoll $rig_server
CreateIPPPrinterQueues No
CacheDir $rig_work/browsed/cache
LogDir $rig_work/browsed/log
DebugLogging file
CONF
  CUPS_SERVER=$rig_desktop DBUS_SYSTEM_BUS_ADDRESS=$rig_bus \
    cups-browsed -c "$rig_work/browsed/cups-browsed.conf" >"$rig_work/browsed/out" 2>&1 &
  echo $! >"$rig_work/browsed.pid"
  local queue
  browsed_queue() {
    queue=$(CUPS_SERVER=$rig_desktop lpstat -v 2>/dev/null | sed -n 's|^device for \([^:]*\): implicitclass://.*|\1|p')
    [[ -n $queue ]] && rig_queue_idle "$queue"
  }
  rig_wait "$rig_wait_tries" browsed_queue || rig_fail "cups-browsed made no queue for the server's"
  echo "$queue"
}

# Prints a small text file as `lp` would, DIN digits as job options; prints
# nothing, fails when lp refuses.
rig_print() {
  local server=$1 queue=$2 din=$3
  local options=(-o PrintMode=Private)
  for ((digit = 1; digit <= 5; ++digit)); do options+=(-o "DINDigit$digit=${din:digit-1:1}"); done
  echo "office rig test page" >"$rig_work/page.txt"
  CUPS_SERVER=$server lp -d "$queue" "${options[@]}" "$rig_work/page.txt" >/dev/null
}

rig_nothing_pending() { [[ -z $(CUPS_SERVER=$1 lpstat -o 2>/dev/null) ]]; }

# After a print: waits until both schedulers are done and the printer has
# one more job than before; prints that job's data file.
rig_wait_for_printer() {
  local before=$1
  rig_wait "$rig_job_tries" rig_nothing_pending "$rig_desktop" || rig_fail "the desktop's job did not finish"
  rig_wait "$rig_job_tries" rig_nothing_pending "$rig_server" || rig_fail "the server's job did not finish"
  rig_wait "$rig_job_tries" test -f "$rig_work/printer/job-$((before + 1)).prn" || rig_fail "the printer got nothing"
  echo "$rig_work/printer/job-$((before + 1)).prn"
}

rig_printer_jobs() { find "$rig_work/printer" -name 'job-*.prn' | wc -l; }

# The DIN in the newest job on the server, as any client can read it; "-"
# when the job has none.
rig_server_job_din() {
  local job
  job=$(CUPS_SERVER=$rig_server lpstat -W all -o korvane | sed -n 's/^korvane-\([0-9]*\) .*/\1/p' | sort -n | tail -n 1)
  local digits
  digits=$(ipptool -c -d operation=Get-Job-Attributes -d "job=$job" -d user=anyone \
    "ipp://$rig_server/printers/korvane" "$rig_source/tests/office/job-din.test" | tail -n 1 | tr -d ',')
  echo "${digits:--}"
}

# The DIN the printer's data sets (the Korvane PPD's "userdict /KVXDINDigitN
# (D) put", the last one of each), "-" when it does not set all five.
rig_data_din() {
  local din="" digit
  for ((digit = 1; digit <= 5; ++digit)); do
    din+=$(grep -a -o "/KVXDINDigit$digit ([0-9])" "$1" | tail -n 1 | sed 's/.*(\([0-9]\))/\1/')
  done
  [[ $din =~ ^[0-9]{5}$ ]] && echo "$din" || echo -
}

rig_gone() { ! kill -0 "$1" 2>/dev/null; }

rig_stop_pid() {
  [[ -f $1 ]] || return 0
  local pid
  pid=$(cat "$1")
  kill "$pid" 2>/dev/null || true
  rig_wait 50 rig_gone "$pid" || kill -9 "$pid" 2>/dev/null || true
  rm -f "$1"
}

# Stops whatever was started, in the order that lets each part finish.
rig_stop() {
  rig_stop_pid "$rig_work/browsed.pid"
  rig_cupsd stop "$rig_work/desktop" || true
  rig_cupsd stop "$rig_work/server" || true
  rig_stop_pid "$rig_work/bus.pid"
  rig_stop_pid "$rig_work/printer.pid"
}
