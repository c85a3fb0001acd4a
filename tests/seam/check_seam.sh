#!/bin/sh
# The seam between the plug-in and the host, checked on the built binaries:
#  - the plug-in calls the host by platform names only, never by a host
#    program's name (KVXHost.h);
#  - the plug-in exports its factory alone;
#  - the host library exports exactly the platform names and KVXHost.h's.
# Usage: check_seam.sh DECLARED_NAMES GCC PLATFORM_DIR HOST_API_DIR PLUGIN HOST_LIBRARY
set -eu
declared_names=$1 cc=$2 platform=$3 host_api=$4 plugin=$5 host_library=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $1" >&2
    sed 's/^/  /' "$2" >&2
    failed=1
}

sh "$declared_names" "$cc" "$platform" -- "$platform" > "$work/platform"
sh "$declared_names" "$cc" "$platform" -- "$host_api" > "$work/host_api"
LC_ALL=C sort -u "$work/platform" "$work/host_api" > "$work/public"

# Unversioned strong references: versioned ones (GLIBC_*, GLIBCXX_*, ...)
# are the system's, weak ones the toolchain's, __asan_* and kin the
# sanitizer runtime's, and C library names that the sanitizer runtime
# intercepts (calloc, free, memset) lose their version but stay the system's.
nm -D --defined-only "$("$cc" -print-file-name=libc.so.6)" | awk '{ sub(/@.*/, "", $NF); print $NF }' |
    LC_ALL=C sort -u > "$work/c_library"
nm -D --undefined-only "$plugin" | awk '$1 == "U" && $2 !~ /@/ { print $2 }' |
    grep -Ev '^__(asan|ubsan|lsan|sanitizer)_' | LC_ALL=C sort -u | LC_ALL=C comm -23 - "$work/c_library" \
    > "$work/plugin_needs" || true
LC_ALL=C comm -12 "$work/plugin_needs" "$work/host_api" > "$work/calls_host_api"
[ -s "$work/calls_host_api" ] && fail "the plug-in calls host program functions (KVXHost.h):" "$work/calls_host_api"
LC_ALL=C comm -23 "$work/plugin_needs" "$work/public" > "$work/calls_unknown"
[ -s "$work/calls_unknown" ] && fail "the plug-in needs names that no platform header declares:" "$work/calls_unknown"

nm -D --defined-only "$plugin" | awk '{ print $NF }' > "$work/plugin_exports"
echo CreatePDEFactory | cmp -s - "$work/plugin_exports" ||
    fail "the plug-in must export CreatePDEFactory alone; it exports:" "$work/plugin_exports"

nm -D --defined-only "$host_library" | awk '{ print $NF }' | sed 's/@.*//' | LC_ALL=C sort -u > "$work/host_exports"
LC_ALL=C comm -23 "$work/host_exports" "$work/public" > "$work/extra"
[ -s "$work/extra" ] && fail "the host library exports names that no public header declares:" "$work/extra"
LC_ALL=C comm -13 "$work/host_exports" "$work/public" > "$work/missing"
[ -s "$work/missing" ] && fail "public headers declare names that the host library does not export:" "$work/missing"

exit "$failed"
