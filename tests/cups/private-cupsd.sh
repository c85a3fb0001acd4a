#!/usr/bin/env bash
# A private CUPS scheduler for the tests, on 127.0.0.1 at a free port, with
# every file it keeps under DIR. It never touches the system's scheduler.
#   private-cupsd.sh start DIR [KIND]   starts it, waits until it answers and
#                                       prints the address to use as CUPS_SERVER
#   private-cupsd.sh stop DIR           stops the scheduler that start DIR started
# KIND is the cupsd.conf it gets:
#   open     (the default) everyone may do everything, nothing is shared
#   shared   open, and its queues are shared: a print server for other schedulers
#   stock    Debian's own cupsd.conf, its policies and authentication as
#            shipped, also on the domain socket DIR/cups.sock, where the
#            scheduler knows its local clients' accounts
# Lines in DIR/cups-files.conf.extra and DIR/cupsd.conf.extra, where there
# are such files, end the scheduler's cups-files.conf (SetEnv for its
# notifiers, say) and cupsd.conf.
set -euo pipefail

readonly kReadyTries=100       # 100 x 0.1 s: the scheduler answers within ~1 s
readonly kStopTries=50
readonly kPortTries=5

usage() { echo "usage: $0 start DIR [open|shared|stock] | stop DIR" >&2; exit 2; }
(($# == 2 || $# == 3)) || usage
action=$1
dir=$(realpath -m "$2")
kind=${3:-open}
[[ $kind == @(open|shared|stock) ]] || usage

# A port nothing listens on now; start retries when another process takes
# it before the scheduler binds it.
free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 40000))
    (echo >"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
}

write_config() {
  local port=$1
  mkdir -p "$dir"/{spool,tmp,cache,state,log,ppd}
  chmod 0755 "$dir"
  chmod 1777 "$dir/tmp"
  cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
FileDevice Yes
Sandboxing Relaxed
CONF
  if [[ -f $dir/cups-files.conf.extra ]]; then cat "$dir/cups-files.conf.extra" >>"$dir/cups-files.conf"; fi
  {
    echo "Listen 127.0.0.1:$port"
    if [[ $kind == stock ]]; then
      echo "Listen $dir/cups.sock"
      grep -v -E '^[[:space:]]*(Listen|Port)[[:space:]]' /usr/share/cups/cupsd.conf.default
    else
      open_config
    fi
    if [[ -f $dir/cupsd.conf.extra ]]; then cat "$dir/cupsd.conf.extra"; fi
  } >"$dir/cupsd.conf"
  echo "127.0.0.1:$port" >"$dir/server"
}

open_config() {
  [[ $kind != shared ]] || printf 'DefaultShared Yes\nBrowseLocalProtocols none\n'
  cat <<CONF
LogLevel warn
DefaultAuthType None
WebInterface No
Browsing $([[ $kind == shared ]] && echo Yes || echo No)
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
}

# Starts cupsd on a free port and waits until it answers; fails when it
# exits or does not answer in time.
start_once() {
  write_config "$(free_port)"
  cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
  echo $! >"$dir/cupsd.pid"
  local server
  server=$(cat "$dir/server")
  for ((try = 0; try < kReadyTries; ++try)); do
    # lpstat -r exits 0 either way: only its words tell.
    if [[ $(CUPS_SERVER=$server timeout 2 lpstat -r 2>/dev/null) == "scheduler is running" ]]; then
      echo "$server"
      return 0
    fi
    kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null || break
    sleep 0.1
  done
  stop
  return 1
}

start() {
  command -v cupsd >/dev/null || { echo "cupsd is not installed" >&2; exit 77; }
  for ((attempt = 0; attempt < kPortTries; ++attempt)); do
    start_once && return 0
  done
  echo "the private scheduler did not start; its log:" >&2
  cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
  exit 1
}

stop() {
  [[ -f "$dir/cupsd.pid" ]] || return 0
  local pid
  pid=$(cat "$dir/cupsd.pid")
  kill "$pid" 2>/dev/null || true
  for ((try = 0; try < kStopTries; ++try)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  rm -f "$dir/cupsd.pid"
}

case $action in
  start) start ;;
  stop) stop ;;
  *) usage ;;
esac
