#!/usr/bin/env bash
# ombrix-batch against hostile files and a hostile disk: binary data, a file-size limit, a full
# disk (a small tmpfs, where mounting is allowed), a read-only folder for the reports (as nobody
# when run as root). Each case shows one clear box on standard error, leaves the files already
# on disk as they were, and the words after it still run.
# usage: batch_hostile.sh OMBRIX_BATCH EXAMPLES_DIR
set -uo pipefail
batch=$(realpath "$1")
examples=$(realpath "$2")

work=$(mktemp -d)
mounted=""
cleanup() {
    if [[ -n "$mounted" ]]; then
        umount "$mounted" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
# expect_eq WHAT ACTUAL EXPECTED
expect_eq() {
    if [[ "$2" != "$3" ]]; then
        fail "$1: got [$2], expected [$3]"
    fi
}
# run DIR [PREFIX...] -- WORDS...: runs ombrix-batch in DIR; sets status, out and err.
run() {
    local dir=$1
    shift
    local prefix=()
    while [[ "$1" != "--" ]]; do
        prefix+=("$1")
        shift
    done
    shift
    out=$( cd "$dir" && "${prefix[@]}" "$batch" "$@" 2>"$work/err" )
    status=$?
    err=$(cat "$work/err")
}
# A folder with copies of the office and its weather, and old reports.
office_folder() {
    mkdir -p "$1"
    cp "$examples/office.utl" "$examples/gainesville.wea" "$1/"
    printf 'old report\r\n' >"$1/office.kwh"
    printf 'old table\r\n' >"$1/office.dat"
}
size_line=" OFFICE.UTL     Number rows = 37     Number columns = 8"
savings_line="Total Savings = 161,162 +- 41,491.1 (25.7%)  after  384  days."

echo "== binary data, then the good files"
office_folder "$work/binary"
head -c 65536 /dev/urandom | tr -d '0-9' >"$work/binary/noise.utl"
run "$work/binary" env -- open-energy noise.utl open-energy office.utl open-weather gainesville.wea \
    calc-elec-use-savings
expect_eq "exit status" "$status" 1
expect_eq "standard error" "$err" "Error: \"No data lines in ./noise.utl\""
expect_eq "last status line" "$(tail -n 1 <<<"$out")" "$savings_line"

echo "== a file-size limit of 2 KB: the report fits, the table and the graph do not"
office_folder "$work/limit"
printf 'old graph' >"$work/limit/graph.png"
run "$work/limit" bash -c 'ulimit -f 2 && exec "$@"' limit -- open-energy office.utl \
    open-weather gainesville.wea calc-elec-use-savings save-graph graph.png open-energy office.utl
expect_eq "exit status" "$status" 1
expect_eq "standard error" "$err" "Error: \"Cannot write file ./office.dat: File too large\"
Error: \"Cannot write file graph.png: File too large\""
expect_eq "old table" "$(cat "$work/limit/office.dat")" $'old table\r'
expect_eq "old graph" "$(cat "$work/limit/graph.png")" "old graph"
expect_eq "new report" "$(tail -n 1 "$work/limit/office.kwh")" "$savings_line"$'\r'
expect_eq "the word after the failure" "$(tail -n 1 <<<"$out")" "$size_line"
expect_eq "files" "$(ls -A "$work/limit" | tr '\n' ' ')" \
    "gainesville.wea graph.png office.dat office.kwh office.utl "

echo "== a full disk"
mkdir -p "$work/full"
if [[ $(id -u) -eq 0 ]] && mount -t tmpfs -o size=128k tmpfs "$work/full" 2>/dev/null; then
    mounted="$work/full"
    office_folder "$work/full"
    rm "$work/full/gainesville.wea"
    # Fill what is left of the disk.
    dd if=/dev/zero of="$work/full/filler" bs=1k 2>/dev/null
    run "$work/full" env -- open-energy office.utl open-weather "$examples/gainesville.wea" \
        calc-elec-use-savings open-energy office.utl
    expect_eq "exit status" "$status" 1
    expect_eq "standard error" "$err" \
        "Error: \"Cannot write file ./office.kwh: No space left on device\""
    expect_eq "old report" "$(cat "$work/full/office.kwh")" $'old report\r'
    expect_eq "old table" "$(cat "$work/full/office.dat")" $'old table\r'
    expect_eq "the word after the failure" "$(tail -n 1 <<<"$out")" "$size_line"
    expect_eq "files" "$(ls -A "$work/full" | tr '\n' ' ')" "filler office.dat office.kwh office.utl "
    umount "$work/full" && mounted=""
else
    echo "(no tmpfs can be mounted here: the file-size limit above stands for a full disk)"
fi

echo "== a read-only folder for the reports"
office_folder "$work/readonly/data"
as_user=(env)
program_dir=""
if [[ $(id -u) -eq 0 ]]; then
    # Permissions do not bind root: run as nobody, with a copy of the program it can reach.
    program_dir="$work/readonly/program"
    mkdir -p "$program_dir"
    cp "$batch" "$program_dir/"
    chown -R 65534:65534 "$work/readonly"
    chmod 755 "$work" "$work/readonly"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/readonly")
    batch_saved=$batch
    batch="$program_dir/$(basename "$batch")"
fi
chmod 555 "$work/readonly/data"
run "$work/readonly/data" "${as_user[@]}" -- open-energy office.utl open-weather gainesville.wea \
    calc-elec-use-savings open-energy office.utl
chmod 755 "$work/readonly/data"
expect_eq "exit status" "$status" 1
expect_eq "standard error" "$err" "Error: \"Cannot create file ./office.kwh: Permission denied\""
expect_eq "old report" "$(cat "$work/readonly/data/office.kwh")" $'old report\r'
expect_eq "old table" "$(cat "$work/readonly/data/office.dat")" $'old table\r'
expect_eq "the word after the failure" "$(tail -n 1 <<<"$out")" "$size_line"
if [[ -n "$program_dir" ]]; then
    batch=$batch_saved
fi

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all hostile cases passed"
