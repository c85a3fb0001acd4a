#!/usr/bin/env bash
# repository.sh DIR [PACKAGES...]: writes to DIR a signed apt repository
# (reprepro) of the Debian packages in each folder PACKAGES that
# scripts/package.sh made, each into the distribution of the release its
# version names (bookworm, trixie); without PACKAGES, those of
# build-package, made first for this machine's release when not there yet.
# A desktop trusts the public key DIR/kvx-archive-keyring.gpg and reads the
# repository by DIR/kvx.sources (README: "Installing from the repository").
#
# Signed by the secret key whose fingerprint KVX_ARCHIVE_KEY names in
# GnuPG's keyring (GNUPGHOME), so that the repository takes newer packages
# under the key that desktops trust; without it, by a key made for this run
# alone and thrown away at its end. No private key is ever written to DIR.
# Served as it is: the files under DIR/dists and DIR/pool (conf and db are
# reprepro's own).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(realpath -m "${1:?usage: repository.sh DIR [PACKAGES...]}")
shift
folders=("$@")
if ((${#folders[@]} == 0)); then
  compgen -G "build-package/*.deb" >/dev/null || bash scripts/package.sh build-package >/dev/null
  folders=(build-package)
fi
for tool in reprepro:reprepro gpg:gpg; do
  command -v "${tool%%:*}" >/dev/null && continue
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${tool#*:}" >/dev/null ||
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${tool#*:}" >/dev/null; }
done

work=$(mktemp -d)
cleanup() {
  set +e
  [[ ${GNUPGHOME:-} != "$work/gnupg" ]] || gpgconf --kill all
  rm -rf "$work"
}
trap cleanup EXIT
key=${KVX_ARCHIVE_KEY:-}
if [[ -z $key ]]; then
  export GNUPGHOME=$work/gnupg
  mkdir -m 700 "$GNUPGHOME"
  gpg --batch -q --passphrase '' --quick-gen-key 'kvx archive (made for one run) <kvx@example.com>' ed25519 sign 1y
  key=$(gpg --with-colons --list-secret-keys 2>/dev/null | awk -F: '$1 == "fpr" {print $10; exit}')
fi

mkdir -p "$dir/conf"
: >"$dir/conf/distributions.new"
for release in bookworm trixie; do
  cat >>"$dir/conf/distributions.new" <<CONF
Origin: kvx
Label: kvx
Codename: $release
Architectures: $(dpkg --print-architecture)
Components: main
Description: kvx, the Korvane RM-4750's job options, for Debian $release
SignWith: $key

CONF
done
mv "$dir/conf/distributions.new" "$dir/conf/distributions"

# Each package into the release its version names (1.0-1~deb12u1: bookworm);
# debug symbols stay out, as Debian keeps them in an archive of their own.
for deb in $(find "${folders[@]}" -maxdepth 1 -name '*.deb' ! -name '*-dbgsym_*'); do
  case $(dpkg-deb -f "$deb" Version) in
    *~deb12u*) release=bookworm ;;
    *~deb13u*) release=trixie ;;
    *) echo "repository.sh: $deb names no release in its version" >&2; exit 2 ;;
  esac
  reprepro -b "$dir" --silent includedeb "$release" "$deb"
done
reprepro -b "$dir" --silent export
gpg --export "$key" >"$dir/kvx-archive-keyring.gpg"
cat >"$dir/kvx.sources" <<SOURCES
Types: deb
URIs: file:$dir
Suites: $(. /etc/os-release; echo "$VERSION_CODENAME")
Components: main
Signed-By: /etc/apt/keyrings/kvx-archive-keyring.gpg
SOURCES
echo "repository.sh: $dir, signed by $key: $(reprepro -b "$dir" list bookworm | wc -l) packages for bookworm, $(reprepro -b "$dir" list trixie | wc -l) for trixie"
