#!/usr/bin/env bash
# package.sh [DIR]: installs what the build needs and makes the Debian
# packages for the release this machine runs, with dpkg-buildpackage, from a
# copy of the source in DIR (default build-package): the source package
# (kvx_VERSION.dsc, its upstream tarball made from the tree) and the binary
# ones; prints the .deb files' paths. Their version names the release: 1.0-1~deb12u1 on Debian 12,
# 1.0-1~deb13u1 on Debian 13. The tests run in the package's build unless
# DEB_BUILD_OPTIONS holds nocheck.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(realpath -m "${1:-build-package}")
bash scripts/deps.sh

. /etc/os-release
release=${VERSION_ID:?"not a Debian release with a number: $PRETTY_NAME"}
source_dir=$dir/kvx
rm -rf "$dir" && mkdir -p "$source_dir"
tar --exclude=./.git --exclude='./build*' -cf - . | tar -C "$source_dir" -xf -

# The version and distribution name this release, as a stable update's would.
sed -i "1s/(\([^)]*\)) [a-z-]*;/(\1~deb${release}u1) $VERSION_CODENAME;/" "$source_dir/debian/changelog"

# The upstream tarball the source package is made from: the tree without debian/.
upstream=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version | sed 's/-[^-]*$//')
tar --exclude=./debian --sort=name --owner=0 --group=0 --numeric-owner \
  --mtime="@$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Timestamp)" \
  -C "$source_dir" -cf - . | xz -T1 >"$dir/kvx_$upstream.orig.tar.xz"

export DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-} terse parallel=$(nproc)"
profiles=()
if [[ " $DEB_BUILD_OPTIONS " == *" nocheck "* ]]; then profiles=(-Pnocheck); fi
(cd "$source_dir" && dpkg-buildpackage --build=full --no-sign "${profiles[@]}" >"$dir/build.log" 2>&1) ||
  { tail -n 60 "$dir/build.log" >&2; echo "package.sh: the build failed; its log: $dir/build.log" >&2; exit 1; }
grep -h 'tests passed, ' "$dir/build.log" >&2 || true
ls "$dir"/*.deb
