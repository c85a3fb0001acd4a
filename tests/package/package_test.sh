#!/usr/bin/env bash
# package_test.sh DIR: checks the Debian packages that scripts/package.sh made
# in DIR without installing them: the version naming this release; the GTK
# and Qt packages' dependencies on the core and on their toolkit; each file a
# user relies on where the toolkit or CUPS looks for it, as this release's
# GTK, Qt and CUPS say (not as a list of our own would); the session files
# turning the GTK module and the Qt 6 plug-in on; lintian (no errors, no
# warnings). What the installed packages do is their autopkgtests' part
# (debian/tests, scripts/autopkgtest.sh).
set -euo pipefail
dir=$(realpath "$1")
packages=(kvx kvx-gtk3 kvx-gtk4 kvx-qt5 kvx-qt6)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passes=$((passes + 1)); }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

. /etc/os-release
declare -A debs
for package in "${packages[@]}"; do
  deb=$(ls "$dir/${package}_"*.deb)
  debs[$package]=$deb
  echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
  mkdir "$work/$package"
  dpkg-deb -x "$deb" "$work/$package"
  check "$package's version names Debian $VERSION_ID" bash -c "dpkg-deb -f '$deb' Version | grep -qx '.*~deb${VERSION_ID}u[0-9]*'"
done
version=$(dpkg-deb -f "${debs[kvx]}" Version)
for toolkit in gtk3:libgtk-3- gtk4:libgtk-4- 'qt5:qtbase-abi-5-[0-9]+-[0-9]+' 'qt6:qt6-base(-private)?-abi \(= 6'; do
  package=kvx-${toolkit%%:*}
  depends=$(dpkg-deb -f "${debs[$package]}" Depends)
  check "$package depends on this kvx and on the very toolkit it was built for ($depends)" \
    bash -c "grep -qF 'kvx (= $version)' <<<'$depends' && grep -qE '${toolkit#*:}' <<<'$depends'"
done

in_package() {  # PACKAGE PATH: the package holds PATH as a file
  test -f "$work/$1$2"
}
gtk3_modules=$(pkg-config --variable=libdir gtk+-3.0)/gtk-3.0/modules
gtk4_backends=$(pkg-config --variable=libdir gtk4)/gtk-4.0/$(pkg-config --variable=gtk_binary_version gtk4)/printbackends
check "GTK 3 finds the module kvx-print in $gtk3_modules" in_package kvx-gtk3 "$gtk3_modules/libkvx-print.so"
check "GTK 4 scans the loader in $gtk4_backends" in_package kvx-gtk4 "$gtk4_backends/libkvx-print-gtk4.so"
for qt in qt5:/usr/lib/qt5/bin/qmake qt6:/usr/lib/qt6/bin/qmake6; do
  plugins=$(${qt#*:} -query QT_INSTALL_PLUGINS)/printsupport
  check "Qt ${qt:2:1} finds the print-support plug-in in $plugins" in_package "kvx-${qt%%:*}" "$plugins/libcupskvxprintsupport.so"
done
# cups-driverd lists the PPDs below /usr/share/ppd, named lsb/usr/FOLDER/FILE.
check "CUPS' driver lister finds the PPD as lsb/usr/korvane/korvane-rm4750.ppd" \
  bash -c "grep -q '^\*ModelName: \"Korvane RM-4750\"' '$work/kvx/usr/share/ppd/korvane/korvane-rm4750.ppd'"
session() {  # PACKAGE FILE VARIABLE [VALUE BEFORE]: the variable after sourcing the session file twice
  env ${4:+"$3=$4"} sh -c ". '$work/$1/etc/X11/Xsession.d/$2'; . '$work/$1/etc/X11/Xsession.d/$2'; echo \"\$$3\""
}
check "the X session turns the GTK module on, once, keeping others" \
  test "$(session kvx-gtk3 90kvx-print GTK3_MODULES)/$(session kvx-gtk3 90kvx-print GTK3_MODULES other)" = kvx-print/other:kvx-print
check "the X session names the Qt 6 plug-in, keeping another choice" \
  test "$(session kvx-qt6 90kvx-print-qt6 QT_PRINTER_MODULE)/$(session kvx-qt6 90kvx-print-qt6 QT_PRINTER_MODULE x)" = kvx-print/x
for file in kvx-gtk3:90-kvx-print.conf:GTK3_MODULES kvx-qt6:90-kvx-print-qt6.conf:QT_PRINTER_MODULE; do
  IFS=: read -r package name variable <<<"$file"
  check "the user session's environment.d file sets $variable" \
    grep -q "^$variable=.*kvx-print" "$work/$package/usr/lib/environment.d/$name"
done

lintian --pedantic --fail-on error,warning --tag-display-limit 0 "$dir"/*.dsc "${debs[@]}" >"$work/lintian" 2>&1 &&
  pass "lintian finds no errors and no warnings" || fail "lintian finds no errors and no warnings"
cat "$work/lintian"

echo "package: $passes passed, $failures failed"
((failures == 0))
