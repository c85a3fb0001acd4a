#!/usr/bin/env bash
# kvx-pin-policy on a scheduler with Debian's own cupsd.conf, and two local
# accounts: the owner prints with a DIN, the other tries to read it with
# every request, over the domain socket and over TCP, as itself and claiming
# to be the owner. Before apply the other reads it; after apply nothing does
# but the owner, whose next job still prints with its DIN; apply twice
# changes nothing, undo gives the file back byte for byte, and a change that
# cupsd -t rejects is never put in place. The lines are compared with
# pin_policy.expected.
#   pin_policy_test.sh KVX_PIN_POLICY SOURCE_DIR
set -euo pipefail
shopt -s inherit_errexit

readonly policy_command=$1
rig_source=$2
readonly owner=daemon other=nobody  # unprivileged accounts every Debian system has
readonly typed_din=48213

command -v cupsd >/dev/null || { echo "cupsd is not installed" >&2; exit 77; }
((EUID == 0)) || { echo "the test runs the two accounts with setpriv, as root" >&2; exit 77; }
id "$owner" >/dev/null && id "$other" >/dev/null || { echo "no accounts $owner and $other" >&2; exit 77; }

rig_work=$(mktemp -d "${TMPDIR:-/tmp}/kvx-pin.XXXXXX")
chmod 0755 "$rig_work"
# shellcheck source=office-rig.sh
source "$rig_source/tests/office/office-rig.sh"
cleanup() {
  rig_cupsd stop "$rig_work/cups" || true
  rm -rf "$rig_work"
}
trap cleanup EXIT

tcp=$(rig_cupsd start "$rig_work/cups" stock)
socket=$rig_work/cups/cups.sock
# ipptool reaches a domain socket by its path as the URI's host.
socket_host=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$socket")
conf=$rig_work/cups/cupsd.conf
# root administers over the domain socket, where the scheduler knows it.
export CUPS_SERVER=$socket HOME=$rig_work
mkdir -m 0777 "$rig_work/printed"
lpadmin -p korvane -E -v "file://$rig_work/printed/korvane.prn" -P "$rig_source/resources/ppd/korvane-rm4750.ppd" 2>/dev/null
lpadmin -p desk -E -v file:///dev/null -P "$rig_source/resources/ppd/korvane-rm2200.ppd" 2>/dev/null

as_user() {
  local user=$1
  shift
  setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups env HOME=/nonexistent CUPS_SERVER="$socket" "$@"
}

pin_policy() {
  local status=0
  "$policy_command" --backup-dir "$rig_work/backups" "$@" >"$rig_work/policy.out" 2>&1 || status=$?
  echo "exit $status"
}

# The owner's job, printed and done; prints its number.
print_job() {
  local options=(-o PrintMode=Private) digit
  for ((digit = 1; digit <= 5; ++digit)); do options+=(-o "DINDigit$digit=${typed_din:digit-1:1}"); done
  echo "test page" | as_user "$owner" lp -d korvane "${options[@]}" | sed -n 's/^request id is korvane-\([0-9]*\) .*/\1/p'
  rig_wait "$rig_job_tries" rig_nothing_pending "$socket"
}

# What READER reads of the job's DIN with OPERATION over VIA (socket or
# tcp), claiming to be CLAIM: the digits, "-" when the answer leaves them
# out, "refused" when the scheduler refuses.
read_din() {
  local operation=$1 via=$2 reader=$3 claim=$4 job=$5 host answer
  [[ $via == socket ]] && host=$socket_host || host=$tcp
  if ! answer=$(as_user "$reader" ipptool -c -d "operation=$operation" -d "job=$job" -d "user=$claim" \
    "ipp://$host/printers/korvane" "$rig_source/tests/office/job-din.test" </dev/null 2>/dev/null); then
    echo refused
    return
  fi
  answer=$(tail -n +2 <<<"$answer" | grep -m 1 "[0-9]" | tr -d , || true)
  echo "${answer:--}"
}

every_attempt() {
  local job=$1 operation via claim
  for operation in Get-Jobs Get-Job-Attributes; do
    for via in socket tcp; do
      for claim in "$other" "$owner"; do
        echo "$operation over $via by $other as $claim: $(read_din "$operation" "$via" "$other" "$claim" "$job")"
      done
    done
  done
}

op_policy() {
  ipptool -c "ipp://$socket_host/printers/$1" /dev/stdin <<'TEST' | tail -n 1
{
  OPERATION Get-Printer-Attributes
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR keyword requested-attributes printer-op-policy
  DISPLAY printer-op-policy
}
TEST
}

{
  job=$(print_job)
  echo "check before apply: $(pin_policy check)"
  every_attempt "$job"
  cp "$conf" "$rig_work/before.conf"

  echo "apply: $(pin_policy apply)"
  cp "$conf" "$rig_work/applied.conf"
  echo "apply again: $(pin_policy apply), cupsd.conf $(cmp -s "$conf" "$rig_work/applied.conf" && echo unchanged || echo changed)"
  echo "check after apply: $(pin_policy check)"
  every_attempt "$job"
  new_job=$(print_job)
  echo "the owner's new job, read by $owner: $(read_din Get-Job-Attributes socket "$owner" "$owner" "$new_job")"
  echo "the owner's new job, in the printer's data: $(rig_data_din "$rig_work/printed/korvane.prn")"
  echo "korvane: $(op_policy korvane); desk: $(op_policy desk)"

  echo "undo: $(pin_policy undo), cupsd.conf $(cmp -s "$conf" "$rig_work/before.conf" && echo "as before apply" || echo different)"
  echo "check after undo: $(pin_policy check)"
  echo "korvane: $(op_policy korvane); desk: $(op_policy desk)"

  # An error in the policy apply copies, on disk where the running scheduler
  # has not read it yet.
  sed -i 's|^<Policy default>$|&\n  NoSuchDirective here|' "$conf"
  cp "$conf" "$rig_work/broken.conf"
  echo "apply on a cupsd.conf that cupsd -t rejects: $(pin_policy apply), cupsd.conf $(cmp -s "$conf" "$rig_work/broken.conf" && echo unchanged || echo changed), $(grep -c 'cupsd -t rejects' "$rig_work/policy.out") refusal"
  echo "korvane: $(op_policy korvane)"
} | tee "$rig_work/results"

diff -u "$rig_source/tests/office/pin_policy.expected" "$rig_work/results"
