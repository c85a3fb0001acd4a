#!/bin/sh
# Usage: declared_names.sh GCC INCLUDE_DIR... -- FOLDER
# Prints, one per line and sorted, the functions and variables that the C
# headers in FOLDER declare, as a C compiler sees them with INCLUDE_DIRs on
# its include path. The host library's export list and the seam check both
# come from here, so that the headers stay the one list of public names.
set -eu
cc=$1
shift
includes=
while [ "$1" != "--" ]; do
    includes="$includes -I$1"
    shift
done
folder=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for header in "$folder"/*.h; do
    echo "#include \"$(basename "$header")\""
done > "$work/all.c"
# -aux-info writes one prototype per declared function, after its file.
# shellcheck disable=SC2086
"$cc" $includes -I"$folder" -w -fsyntax-only -aux-info "$work/prototypes" "$work/all.c"
{
    grep -F "/* $folder/" "$work/prototypes" | sed -E 's/^.*[ *]([A-Za-z_][A-Za-z0-9_]*) \(.*$/\1/'
    sed -nE 's/^extern const [A-Za-z_][A-Za-z0-9_]* \**([A-Za-z_][A-Za-z0-9_]*);.*$/\1/p' "$folder"/*.h
} | LC_ALL=C sort -u
