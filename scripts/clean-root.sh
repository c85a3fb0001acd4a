#!/usr/bin/env bash
# clean-root.sh RELEASE COMMAND: runs COMMAND (bash, as root, in the source
# tree) inside a fresh minbase root of Debian RELEASE (bookworm, trixie), where
# nothing is installed that debootstrap does not put there: what the command
# needs, scripts/deps.sh must install. The source tree is the root's /src, so
# what the command builds stays in the tree (name its folders build-RELEASE…).
#
# Cached in /var/cache/kvx-ci: the bare root as RELEASE-minbase.tar, made
# again when older than a week, and apt's downloaded packages (archives-RELEASE,
# the root's /var/cache/apt/archives), so that nothing is fetched twice; a
# root that moves to another release keeps its own (CLEAN_ROOT_ARCHIVES=NAME:
# archives-NAME), as the end's clean-up keeps only what the last release has. Each
# run unpacks the tarball anew and throws the root away afterwards. Everything
# started inside runs in a PID namespace of its own and ends with COMMAND; the
# mounts are undone on every path.
set -euo pipefail
release=${1:?usage: clean-root.sh RELEASE COMMAND}
command=${2:?usage: clean-root.sh RELEASE COMMAND}
source=$(cd "$(dirname "$0")/.." && pwd)
cache=/var/cache/kvx-ci
tarball=$cache/$release-minbase.tar
archives=$cache/archives-${CLEAN_ROOT_ARCHIVES:-$release}
started=$SECONDS
say() { echo "clean-root ($release): $*" >&2; }

if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null ||
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null; }
fi
mkdir -p "$archives/partial"

root=$(mktemp -d "/var/tmp/kvx-root-$release.XXXXXX")
mounts=()
inside_pid=
cleanup() {
  set +e
  # unshare ignores TERM while it waits; killed, it takes the namespace along.
  if [[ -n $inside_pid ]]; then kill -KILL "$inside_pid" 2>/dev/null; wait "$inside_pid" 2>/dev/null; fi
  local pid
  for pid in /proc/[0-9]*; do
    [[ $(readlink "$pid/root" 2>/dev/null) == "$root" ]] && kill -KILL "${pid#/proc/}" 2>/dev/null
  done
  local index
  for ((index = ${#mounts[@]} - 1; index >= 0; index--)); do
    umount "${mounts[index]}" || umount -l "${mounts[index]}"
  done
  # Never delete through a mount that is still there (the source tree is one).
  if findmnt -rn -o TARGET | grep -qF "$root/"; then
    say "mounts are left under $root; not deleting it"
  else
    rm -rf "$root"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ ! -f $tarball || -n $(find "$tarball" -mmin +$((7 * 24 * 60))) ]]; then
  # From the Debian archive that apt uses here.
  mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Target-Of: deb' 'Origin: Debian' 'Label: Debian' | head -n 1)
  say "making the minbase root from ${mirror:?apt knows no Debian archive}"
  debootstrap --variant=minbase "$release" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { cat "$root.debootstrap.log" >&2; rm -f "$root.debootstrap.log"; exit 1; }
  rm -f "$root.debootstrap.log"
  tar -C "$root" -cf "$tarball.new" . && mv "$tarball.new" "$tarball"
else
  tar -C "$root" -xf "$tarball"
fi

# A root to build in, not to boot: open to its users as / is (mktemp made it
# private), no services started by package scripts, no fsync for files thrown
# away afterwards, apt's downloads as root into the cache folder.
chmod 755 "$root"
echo 'APT::Sandbox::User "root";' >"$root/etc/apt/apt.conf.d/90kvx-ci"
rm -f "$root/etc/resolv.conf" && cp /etc/resolv.conf "$root/etc/resolv.conf"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/kvx-ci-unsafe-io"
mkdir -p "$root/src"
bind() {
  mount "$@"
  mounts+=("${*: -1}")
}
bind -t sysfs sysfs "$root/sys"
bind --bind /dev "$root/dev"
bind --bind /dev/pts "$root/dev/pts"
bind --bind /dev/shm "$root/dev/shm"
bind --bind "$source" "$root/src"
bind --bind "$archives" "$root/var/cache/apt/archives"
say "root ready in $((SECONDS - started)) s"

# In the background, so that a signal to this script is taken at once.
inside() {
  unshare --pid --fork --kill-child --mount-proc="$root/proc" \
    chroot "$root" env -i HOME=/root LANG=C.UTF-8 TERM=dumb CI="${CI:-}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$1" &
  inside_pid=$!
  local status=0
  wait "$inside_pid" || status=$?
  inside_pid=
  return "$status"
}
ran=$SECONDS
status=0
inside "cd /src && $command" || status=$?
# Drops the packages that the archive no longer has, so the cache does not
# grow (not without package lists: autoclean would take that as none at all).
inside 'if compgen -G "/var/lib/apt/lists/*_Packages" >/dev/null; then apt-get -qq autoclean; fi' || true
say "command exited with $status after $((SECONDS - ran)) s; $((SECONDS - started)) s in all"
exit "$status"
