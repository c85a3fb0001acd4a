#!/usr/bin/env bash
# package.sh [BUILD]: installs what the build needs, builds kvx for the prefix
# /usr in BUILD (default build-package) and makes the Debian package there:
# BUILD/package/kvx_VERSION_ARCH.deb, whose path it prints.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}
bash scripts/deps.sh
bash scripts/build.sh "$dir" -DCMAKE_INSTALL_PREFIX=/usr
(cd "$dir" && cpack >/dev/null)
ls "$dir"/package/kvx_*.deb
