#!/usr/bin/env bash
# reproducible.sh DIR: builds the packages that scripts/package.sh made in DIR
# without the tests (DEB_BUILD_OPTIONS=nocheck) once more from the same
# source, in a build path of another length, with another umask, time zone,
# locale and build time (a year on, by faketime), and checks that every .deb
# is the same, byte for byte; where one is not, diffoscope says how.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(realpath "${1:?usage: reproducible.sh DIR}")
compgen -G "$dir/*.deb" >/dev/null || { echo "reproducible.sh: no packages in $dir" >&2; exit 2; }
for tool in faketime:faketime diffoscope:diffoscope-minimal; do
  command -v "${tool%%:*}" >/dev/null && continue
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${tool#*:}" >/dev/null ||
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${tool#*:}" >/dev/null; }
done
work=$(mktemp -d /var/tmp/kvx-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

again=$work/built/once/more/elsewhere
(umask 0002 && TZ=Pacific/Kiritimati LC_ALL=C DEB_BUILD_OPTIONS=nocheck \
  faketime -f '+373d' bash scripts/package.sh "$again" >/dev/null)
different=0
for deb in "$dir"/*.deb; do
  if cmp -s "$deb" "$again/${deb##*/}"; then
    echo "ok: ${deb##*/} is the same, built again"
  else
    echo "FAIL: ${deb##*/} differs when built again:" >&2
    diffoscope --text - "$deb" "$again/${deb##*/}" >&2 || true
    different=$((different + 1))
  fi
done
((different == 0))
