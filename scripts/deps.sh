#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, when missing,
# on Debian 12 and 13 alike. An entry "a|b" is the first of those names that
# this release's apt offers: clang's runtimes are libclang-rt-dev where the
# release has the unversioned name, libclang-rt-14-dev on a Debian 12 without it.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libplist-dev libpugixml-dev libcups2-dev cups-client nlohmann-json3-dev
  cups-daemon cups-ipp-utils cups-core-drivers cups-filters
  cups-browsed  # the office tests' desktop finds the print server's queues with it
  cups dpkg-dev debhelper lintian
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang 'libclang-rt-dev|libclang-rt-14-dev' llvm valgrind
  libgtk-3-dev libgtk-4-dev xvfb xauth xdotool x11-xkb-utils
  at-spi2-core dbus-daemon python3-pyatspi
  gedit evince  # unmodified applications that save their print settings, for the GTK module's tests
  gtk-4-examples  # gtk4-print-editor, an unmodified GTK 4 application for the GTK 4 module's test
  xdg-desktop-portal xdg-desktop-portal-gnome xdg-desktop-portal-gtk python3-gi  # both print portals and an application asking them
  qtbase5-dev qtbase5-private-dev qt6-base-dev qt6-base-private-dev  # the Qt print-support plug-ins use Qt's private API
  qt6-qpa-plugins  # Qt 6's xcb platform, for the Qt 6 test
  qtbase5-examples  # textedit, an unmodified Qt 5 application for the Qt 5 test
  sway wayvnc grim qt6-wayland  # a headless Wayland compositor with a seat, its keyboard and pointer, its screen; Qt 6 there
  orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng  # a screen reader and its speech, for the accessibility tests
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
offered() {
  local policy candidate='Candidate: [^(]'
  policy=$(apt-cache policy "$1")
  [[ $policy =~ $candidate ]]
}

missing=()
for entry in "${packages[@]}"; do
  IFS='|' read -ra names <<<"$entry"
  for name in "${names[@]}"; do installed "$name" && continue 2; done
  missing+=("$entry")
done
((${#missing[@]})) || exit 0

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
chosen=()
for entry in "${missing[@]}"; do
  IFS='|' read -ra names <<<"$entry"
  for name in "${names[@]}"; do offered "$name" && { chosen+=("$name"); continue 2; }; done
  echo "deps.sh: apt offers none of ${entry//|/, } here" >&2
  exit 1
done
echo "Installing: ${chosen[*]}" >&2
apt-get install -y -qq --no-install-recommends "${chosen[@]}" >/dev/null
