#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, when missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libplist-dev libpugixml-dev libcups2-dev cups-client nlohmann-json3-dev
  cups-daemon cups-ipp-utils cups-core-drivers cups-filters
  cups dpkg-dev lintian
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev llvm valgrind
  libgtk-3-dev libgtk-4-dev xvfb xauth xdotool x11-xkb-utils
  at-spi2-core dbus-daemon python3-pyatspi
  gedit evince  # unmodified applications that save their print settings, for the GTK module's tests
  gtk-4-examples  # gtk4-print-editor, an unmodified GTK 4 application for the GTK 4 module's test
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
