#!/usr/bin/env bash
# upgrade.sh BOOKWORM TRIXIE: checks upgrades of the packages that
# scripts/package.sh made in the folders BOOKWORM (Debian 12) and TRIXIE
# (Debian 13) of this tree, as a desktop receives them from the signed
# repository (scripts/repository.sh), in a fresh Debian 12 root
# (scripts/clean-root.sh): tests/package/upgrade_test.sh installs the version
# before, upgrades within Debian 12 and then moves the root to Debian 13;
# there the autopkgtests of a GTK 3 program (its module turned on by the
# session file the administrator edited) and of the Qt programs run on the
# upgraded root.
#
# The version before is these very packages with a lower version
# (1.0~previous-1~deb12u1): dpkg and apt take the same path as from any
# earlier release of them (conffiles, session files, files that move), at
# the cost of a repack instead of a second build.
set -euo pipefail
cd "$(dirname "$0")/.."
bookworm=$(realpath --relative-to=. "${1:?usage: upgrade.sh BOOKWORM TRIXIE}")
trixie=$(realpath --relative-to=. "${2:?usage: upgrade.sh BOOKWORM TRIXIE}")
work=build-upgrade
rm -rf "$work"
mkdir -p "$work/previous"
GNUPGHOME=$(mktemp -d)
export GNUPGHOME
cleanup() {
  set +e
  gpgconf --kill all
  rm -rf "$GNUPGHOME" "$work/unpacked"
  [[ -n ${base:-} ]] || return
  # piuparts' chroots are in base: a run cut short leaves their mounts (the
  # repositories' folder among them), undone before anything is deleted.
  findmnt -rn -o TARGET | grep "^$base/" | sort -r | while read -r mount; do umount "$mount" || umount -l "$mount"; done
  if findmnt -rn -o TARGET | grep -q "^$base/"; then echo "upgrade.sh: mounts are left under $base" >&2; else rm -rf "$base"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

for deb in $(find "$bookworm" -maxdepth 1 -name '*.deb' ! -name '*-dbgsym_*'); do
  version=$(dpkg-deb -f "$deb" Version)
  rm -rf "$work/unpacked"
  dpkg-deb -R "$deb" "$work/unpacked"
  sed -i "s/$version/${version%%-*}~previous-${version#*-}/g" "$work/unpacked/DEBIAN/control"
  dpkg-deb -b "$work/unpacked" "$work/previous/" >/dev/null
done

gpg --batch -q --passphrase '' --quick-gen-key 'kvx archive (made for the upgrade check) <kvx@example.com>' ed25519 sign 1d
KVX_ARCHIVE_KEY=$(gpg --with-colons --list-secret-keys 2>/dev/null | awk -F: '$1 == "fpr" {print $10; exit}')
export KVX_ARCHIVE_KEY
bash scripts/repository.sh "$work/before" "$work/previous"
bash scripts/repository.sh "$work/after" "$bookworm" "$trixie"

# piuparts, in chroots of its own made from the cached minbase root: the
# packages installed from the repository by apt, removed and purged, then
# installed at the version before and upgraded to these; together, as one
# run per package would install GTK's stack five times over. Left behind by
# systemd (GTK's D-Bus pulls it in), not by kvx: the folders its tmpfiles make.
[[ -f /var/cache/kvx-ci/bookworm-minbase.tar ]] || bash scripts/clean-root.sh bookworm true
command -v piuparts >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends piuparts >/dev/null
base=$(mktemp -d /var/tmp/kvx-piuparts.XXXXXX)
mkdir "$base/root" "$base/logs"
tar -C "$base/root" -xf /var/cache/kvx-ci/bookworm-minbase.tar
mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Target-Of: deb' 'Origin: Debian' 'Label: Debian' | head -n 1)
repository() { echo "deb [signed-by=$PWD/$work/$1/kvx-archive-keyring.gpg] file:$PWD/$work/$1 bookworm main"; }
run_piuparts() {  # LOG ARGUMENTS...: its log, outside the folder it mounts
  piuparts -e "$base/root" --hard-link -t "$base" -d bookworm -m "$mirror" --bindmount="$PWD/$work" \
    -I '^/root/\.ssh/$' -I '^/var/(cache|lib|log)/private/$' -I '^/var/lib/systemd/(coredump|pstore)/$' \
    -l "$base/logs/$1" "${@:2}" >/dev/null || { tail -n 40 "$base/logs/$1" >&2; return 1; }
  grep -h 'PASS: ' "$base/logs/$1"
}
run_piuparts install --apt --no-upgrade-test --extra-repo="$(repository after)" kvx kvx-gtk3 kvx-gtk4 kvx-qt5 kvx-qt6
run_piuparts upgrade --no-install-purge-test --extra-repo="$(repository before)" \
  $(find "$bookworm" -maxdepth 1 -name '*.deb' ! -name '*-dbgsym_*')

CLEAN_ROOT_ARCHIVES=bookworm-to-trixie bash scripts/clean-root.sh bookworm "
  set -e
  bash tests/package/upgrade_test.sh $work/before $work/after
  apt-get install -y -qq --no-install-recommends autopkgtest dpkg-dev >/dev/null
  autopkgtest --no-built-binaries --test-name=gtk3 --test-name=qt $trixie/*.deb $trixie/*.dsc -- null"
