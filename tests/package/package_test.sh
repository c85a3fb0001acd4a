#!/usr/bin/env bash
# package_test.sh BUILD: makes the Debian package from BUILD (configured for
# the prefix /usr) and checks it as a person installing it would: its file
# list, lintian (its missing-dependency-on-libc error says when the
# dependencies were not computed from the binaries), then a real install on
# this machine (root only): the X session turns the GTK module on, CUPS'
# driver lister offers the model, lpadmin makes a queue from it, the installed
# kvx-dialog shows the pane for that queue from the installed files alone, and
# purging leaves nothing behind. (The installed module in an application's
# dialog is the GTK module's end-to-end test.)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1")
work=$(mktemp -d)
failures=0
passes=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passes=$((passes + 1)); }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

cleanup() {  # every step runs, whatever the one before it did
  set +e
  if [[ -n ${scheduler:-} ]]; then bash "$here/../cups/private-cupsd.sh" stop "$work/cups" >/dev/null 2>&1; fi
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && cpack >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$build"/package/kvx_*.deb)
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | sort >"$work/files"
sed "s/@MULTIARCH@/$multiarch/" "$here/files.txt" | sort >"$work/expected"
check "the package holds exactly the expected files" diff -u "$work/expected" "$work/files"

lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
cat "$work/lintian"
check "lintian finds no errors" bash -c "! grep -q '^E:' '$work/lintian'"

if ((EUID != 0)); then
  echo "skipped: installing the package needs root"
else
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; exit 1; }
  dpkg-query -L kvx | sort >"$work/installed"

  check "the X session turns the GTK module on, once" \
    test "$(sh -c '. /etc/X11/Xsession.d/90kvx-print; . /etc/X11/Xsession.d/90kvx-print; echo "$GTK3_MODULES"')" = kvx-print

  scheduler=$(bash "$here/../cups/private-cupsd.sh" start "$work/cups")
  export CUPS_SERVER=$scheduler
  model=$(lpinfo -m | grep 'Korvane RM-4750' | cut -d' ' -f1 || true)
  check "lpinfo -m lists the Korvane RM-4750 ($model)" test "$model" = lsb/usr/korvane/korvane-rm4750.ppd
  check "lpadmin -m makes a queue from the installed PPD" \
    lpadmin -p korvane -E -v file:///dev/null -m "$model"

  # The bundle and the host library must come from the installed folders.
  (cd / && env -i PATH=/usr/bin:/bin CUPS_SERVER="$scheduler" LD_DEBUG=files \
    kvx-dialog --printer korvane --script - <<<show >"$work/shown" 2>"$work/loaded") || true
  grep -oE 'calling init: /[^ ]*(kvx|KVX)[^ ]*\.so' "$work/loaded" | cut -d' ' -f3 | xargs -r realpath | sort -u | tee "$work/maps" || true
  check "the installed dialog shows the pane for the queue" grep -q '"print-mode":{"position":1' "$work/shown"
  check "its bundle and host library are the installed ones" \
    bash -c "[ \$(wc -l <'$work/maps') -ge 2 ] && ! grep -v '^/usr/lib/$multiarch/kvx/' '$work/maps'"

  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kvx >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; exit 1; }
  left=$(while read -r path; do if [[ -e $path && ! -d $path ]]; then echo "$path"; fi; done <"$work/installed")
  check "purging removes every file the package installed" test -z "$left"
  check "and its own folders" bash -c "! ls -d /usr/lib/$multiarch/kvx /usr/share/ppd/korvane /usr/share/doc/kvx 2>/dev/null"
fi

echo "package: $passes passed, $failures failed"
((failures == 0))
