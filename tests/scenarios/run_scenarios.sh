#!/usr/bin/env bash
# Runs every scenario of one .scenario file through kvx-dialog's script mode
# and compares what the dialog did with what the file expects.
#
#   run_scenarios.sh DIALOG SOURCE_DIR FILE.scenario [BUNDLE]
#
# A file holds scenarios; each starts with "=== name" and has these parts,
# each introduced by a line that is exactly its keyword:
#   args: ARGUMENTS    the dialog's arguments, split on spaces (no quoting,
#                      no globbing, nothing else is interpreted)
#   env: NAME=VALUE    set in the dialog's environment
#   file: NAME         the lines up to the next keyword become @TMP@/NAME
#   script:            the lines up to the next keyword go to --script -
#   stdout:            the exact lines the dialog writes on stdout
#   stderr:            lines that must each occur within its stderr; one
#                      starting with '=' must be a whole line of it, one
#                      starting with '-' must be no whole line of it, one
#                      starting with '!' must occur nowhere in it
#   status: N          the exit status (default 0)
#   saved: NAME        the exact lines @TMP@/NAME holds afterwards
#   bundle: RESOURCE   BUNDLE is copied to @TMP@/PlugIns once; the lines up to
#                      the next keyword are a sed script run on its resource
#                      RESOURCE (a path below Contents/Resources), or without
#                      lines, the resource is removed
#   each: WORDS        the scenario runs once per word, with @EACH@ in the
#                      arguments standing for it
# Lines starting with '#' and blank lines are ignored everywhere.
# Placeholders: @PPD_DIR@, @SAMPLE_PPD@, @TMP@ (a fresh folder per scenario)
# and @DATA@ (this file's folder).
# A debug build's report of host objects left alive fails a scenario too.
set -uo pipefail

dialog=$1
source_dir=$2
scenario_file=$3
bundle=${4:-}
data_dir=$(cd "$(dirname "$scenario_file")" && pwd)
leak_report="host objects alive after the dialog"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fill_in() {
    local line=${1//@PPD_DIR@/$source_dir/resources/ppd}
    line=${line//@SAMPLE_PPD@/$source_dir/resources/ppd/korvane-rm4750.ppd}
    line=${line//@DATA@/$data_dir}
    printf '%s\n' "${line//@TMP@/$tmp}"
}

# Starts a scenario: a fresh @TMP@ and empty parts.
begin() {
    name=$1 args="" environment=() status_expected=0 saved_name="" part=none words_each="" edits=()
    tmp=$work/tmp
    rm -rf "$tmp" "$work"/expected.* "$work"/actual.* "$work"/edit.*
    mkdir -p "$tmp"
    touch "$work/expected.script" "$work/expected.stdout" "$work/expected.stderr" "$work/expected.saved"
}

fail() {
    echo "FAIL: $name$word: $1"
    failures=$((failures + 1))
}

check() {
    [[ -z $name ]] && return
    local each index resource word=""
    for index in "${!edits[@]}"; do
        [[ -d $tmp/PlugIns ]] || { mkdir "$tmp/PlugIns" && cp -r "$bundle" "$tmp/PlugIns/"; }
        resource=$tmp/PlugIns/$(basename "$bundle")/Contents/Resources/${edits[index]}
        if [[ -s $work/edit.$index ]]; then sed -i -f "$work/edit.$index" "$resource"; else rm "$resource"; fi
    done
    [[ -z $words_each ]] && { check_one ""; return; }
    for each in $words_each; do check_one "$each"; done
}

check_one() {
    local -a words
    word=${1:+ ($1)}
    read -ra words <<<"${args//@EACH@/$1}"
    env -u DISPLAY -u WAYLAND_DISPLAY "${environment[@]}" "$dialog" "${words[@]}" --script - \
        <"$work/expected.script" >"$work/actual.stdout" 2>"$work/actual.stderr"
    local status=$? before=$failures
    diff -u --label "expected stdout" --label "actual stdout" "$work/expected.stdout" "$work/actual.stdout" ||
        fail "stdout differs"
    while IFS= read -r line; do
        case $line in
        =*) grep -qxF -- "${line#=}" "$work/actual.stderr" || fail "stderr lacks the line: ${line#=}" ;;
        -*) grep -qxF -- "${line#-}" "$work/actual.stderr" && fail "stderr holds the line: ${line#-}" ;;
        !*) grep -qF -- "${line#!}" "$work/actual.stderr" && fail "stderr holds: ${line#!}" ;;
        *) grep -qF -- "$line" "$work/actual.stderr" || fail "stderr lacks: $line" ;;
        esac
    done <"$work/expected.stderr"
    grep -qF "$leak_report" "$work/actual.stderr" && fail "host objects left alive"
    ((status == status_expected)) || fail "exit status $status, expected $status_expected"
    if [[ -n $saved_name ]]; then
        diff -u --label "expected $saved_name" --label "actual $saved_name" "$work/expected.saved" "$tmp/$saved_name" ||
            fail "$saved_name differs"
    fi
    if ((failures > before)); then
        echo "--- stderr of $name:"
        cat "$work/actual.stderr"
    else
        echo "ok: $name$word"
    fi
}

name=""
while IFS= read -r raw || [[ -n $raw ]]; do
    [[ -z $raw || $raw == \#* ]] && continue
    case $raw in
    "=== "*) check; begin "${raw#=== }" ;;
    "args: "*) args=$(fill_in "${raw#args: }") ;;
    "env: "*) environment+=("${raw#env: }") ;;
    "file: "*) part=file target="$tmp/${raw#file: }"; : >"$target" ;;
    "script:") part=script target=$work/expected.script ;;
    "stdout:") part=stdout target=$work/expected.stdout ;;
    "stderr:") part=stderr target=$work/expected.stderr ;;
    "status: "*) status_expected=${raw#status: } part=none ;;
    "bundle: "*) part=bundle target=$work/edit.${#edits[@]}; edits+=("${raw#bundle: }"); : >"$target" ;;
    "each: "*) words_each=${raw#each: } ;;
    "saved: "*) saved_name=${raw#saved: } part=saved target=$work/expected.saved ;;
    *)
        [[ -z $name || $part == none ]] && { echo "$scenario_file: stray line: $raw"; exit 2; }
        fill_in "$raw" >>"$target"
        ;;
    esac
done <"$scenario_file"
check

((failures == 0)) || { echo "$failures failure(s) in $scenario_file"; exit 1; }
