#!/usr/bin/env bash
# package_test.sh DIR: checks the Debian packages that scripts/package.sh made
# in DIR as a person installing them would: each package's file list
# (PACKAGE.txt beside this script), the version naming this release, the GTK
# and Qt packages' dependencies on the core and on their toolkit, lintian (no
# errors, no warnings), then a real install with apt on this machine (root
# only): the X session turns the GTK module and the Qt 6 plug-in on, CUPS'
# driver lister offers the model, lpadmin makes a queue from it, the installed kvx-dialog shows the pane for
# that queue from the installed files alone, and purging leaves nothing
# behind. (The module in an application's dialog is the GTK module's
# end-to-end test.)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$(realpath "$1")
packages=(kvx kvx-gtk3 kvx-gtk4 kvx-qt5 kvx-qt6)
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

. /etc/os-release
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
debs=()
for package in "${packages[@]}"; do
  deb=$(ls "$dir/${package}_"*.deb)
  debs+=("$deb")
  echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | sort >"$work/files"
  sed "s/@MULTIARCH@/$multiarch/" "$here/$package.txt" | sort >"$work/expected"
  check "$package holds exactly the expected files" diff -u "$work/expected" "$work/files"
  check "$package's version names Debian $VERSION_ID" bash -c "dpkg-deb -f '$deb' Version | grep -qx '.*~deb${VERSION_ID}u[0-9]*'"
done
for gtk in 3 4; do
  depends=$(dpkg-deb -f "${debs[gtk - 2]}" Depends)
  check "kvx-gtk$gtk depends on this kvx and on GTK $gtk ($depends)" \
    bash -c "grep -q 'kvx (= $(dpkg-deb -f "${debs[0]}" Version))' <<<'$depends' && grep -q 'libgtk-$gtk-' <<<'$depends'"
done
for qt in 5 6; do
  depends=$(dpkg-deb -f "${debs[qt - 2]}" Depends)
  check "kvx-qt$qt depends on this kvx and on the very Qt $qt it was built with ($depends)" \
    bash -c "grep -q 'kvx (= $(dpkg-deb -f "${debs[0]}" Version))' <<<'$depends' && grep -qE 'qtbase-abi-5-[0-9]+-[0-9]+|qt6-base(-private)?-abi \(= 6' <<<'$depends'"
done

lintian --fail-on error,warning --tag-display-limit 0 "${debs[@]}" >"$work/lintian" 2>&1 &&
  pass "lintian finds no errors and no warnings" || fail "lintian finds no errors and no warnings"
cat "$work/lintian"

if ((EUID != 0)); then
  echo "skipped: installing the packages needs root"
else
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${debs[@]}" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; exit 1; }
  dpkg-query -L "${packages[@]}" | sort -u >"$work/installed"

  check "the X session turns the GTK module on, once" \
    test "$(sh -c '. /etc/X11/Xsession.d/90kvx-print; . /etc/X11/Xsession.d/90kvx-print; echo "$GTK3_MODULES"')" = kvx-print
  check "the X session names the Qt 6 plug-in, keeping another choice" \
    test "$(sh -c '. /etc/X11/Xsession.d/90kvx-print-qt6; echo "$QT_PRINTER_MODULE"'; QT_PRINTER_MODULE=x sh -c '. /etc/X11/Xsession.d/90kvx-print-qt6; echo "$QT_PRINTER_MODULE"')" = "kvx-print
x"

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

  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${packages[@]}" >"$work/purge.log" 2>&1 ||
    { cat "$work/purge.log"; exit 1; }
  left=$(while read -r path; do if [[ -e $path && ! -d $path ]]; then echo "$path"; fi; done <"$work/installed")
  check "purging removes every file the packages installed" test -z "$left"
  check "and their own folders" bash -c "! ls -d /usr/lib/$multiarch/kvx /usr/share/ppd/korvane /usr/share/doc/kvx* 2>/dev/null"
fi

echo "package: $passes passed, $failures failed"
((failures == 0))
