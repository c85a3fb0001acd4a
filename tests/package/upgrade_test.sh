#!/usr/bin/env bash
# upgrade_test.sh BEFORE AFTER: run by scripts/upgrade.sh in a fresh Debian 12
# root. A desktop installs kvx from the signed repository BEFORE (the version
# before, bookworm) as the README says; its administrator deletes the X
# session file that names the Qt 6 plug-in and edits the GTK one, and a
# user saves the queue's defaults with kvx-dialog. The repository then has
# this version (AFTER): apt upgrade, then the move to Debian 13 (sources
# switched to trixie, apt full-upgrade). After each, every kvx package is at
# the repository's version for the release, the administrator's changes are
# kept, and kvx-dialog shows the pane for the queue from the user's defaults.
set -euo pipefail
before=$(realpath "$1") after=$(realpath "$2")
packages=(kvx kvx-gtk3 kvx-gtk4 kvx-qt5 kvx-qt6)
export DEBIAN_FRONTEND=noninteractive
work=$(mktemp -d)
chmod 755 "$work"
failures=0
passes=0
cleanup() {
  set +e
  bash tests/cups/private-cupsd.sh stop "$work/cups"
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passes=$((passes + 1)); }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
quietly() { "$@" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; return 1; }; }

use_repository() {  # FOLDER SUITE: the desktop's kvx.sources
  sed -e "s|^URIs: .*|URIs: file:$1|" -e "s|^Suites: .*|Suites: $2|" "$1/kvx.sources" >/etc/apt/sources.list.d/kvx.sources
  quietly apt-get update
}
offered() {  # FOLDER SUITE: the version of kvx the repository has for the release
  sed -n 's/^Version: //p' "$1/dists/$2/main/binary-$(dpkg --print-architecture)/Packages" | sort -u
}
after() {  # WHAT VERSION
  check "$1: every kvx package at $2" test "$(dpkg-query -W -f='${Version}\n' "${packages[@]}" | sort -u)" = "$2"
  check "$1: the deleted X session file stays deleted" test ! -e /etc/X11/Xsession.d/90kvx-print-qt6
  check "$1: the edited X session file keeps its edit" grep -qx '# kept by the administrator' /etc/X11/Xsession.d/90kvx-print
  CUPS_SERVER=$(bash tests/cups/private-cupsd.sh start "$work/cups")
  check "$1: kvx-dialog shows the pane for the queue, from the user's defaults" \
    bash -c "kvx-dialog --printer korvane --script - <<<show | grep -q '\"print-mode\":{\"position\":2,\"item\":\"Proof\"'"
  bash tests/cups/private-cupsd.sh stop "$work/cups"
}

install -D -m 644 "$before/kvx-archive-keyring.gpg" /etc/apt/keyrings/kvx-archive-keyring.gpg
use_repository "$before" bookworm
quietly apt-get install -y --no-install-recommends "${packages[@]}" cups cups-client
check "the version before installed from the signed repository" \
  test "$(dpkg-query -W -f='${Version}' kvx)" = "$(offered "$before" bookworm)"

rm /etc/X11/Xsession.d/90kvx-print-qt6
echo '# kept by the administrator' >>/etc/X11/Xsession.d/90kvx-print
mkdir "$work/home" "$work/client"
export HOME=$work/home CUPS_SERVERROOT=$work/client
CUPS_SERVER=$(bash tests/cups/private-cupsd.sh start "$work/cups")
export CUPS_SERVER
lpadmin -p korvane -E -v file:///dev/null -m lsb/usr/korvane/korvane-rm4750.ppd 2>/dev/null
printf '%s\n' 'choose print-mode Proof' ok | kvx-dialog --printer korvane --script - --save-defaults
bash tests/cups/private-cupsd.sh stop "$work/cups"

use_repository "$after" bookworm
quietly apt-get upgrade -y
after "apt upgrade on Debian 12" "$(offered "$after" bookworm)"

sed -i 's/\bbookworm\b/trixie/g' /etc/apt/sources.list
use_repository "$after" trixie
quietly apt-get full-upgrade -y -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold
check "the root is Debian 13 now" grep -q '^VERSION_ID="13"' /etc/os-release
after "apt full-upgrade to Debian 13" "$(offered "$after" trixie)"

echo "upgrade: $passes passed, $failures failed"
((failures == 0))
