#!/usr/bin/env bash
# Runs the permission cases of a test program where permissions bind: file and folder
# permissions do not bind the superuser, so as root the program and the example files are
# copied to a fresh folder owned by nobody (uid 65534) and run there as nobody; otherwise the
# program runs as it is. Fails unless at least one test ran and none was skipped.
# usage: unprivileged.sh PROGRAM SOURCE_DIR GTEST_FILTER
set -euo pipefail
program=$1
source_dir=$2
filter=$3

log=$(mktemp)
work=""
cleanup() {
    rm -f "$log"
    if [[ -n "$work" ]]; then
        rm -rf "$work"
    fi
}
trap cleanup EXIT

if [[ $(id -u) -ne 0 ]]; then
    "$program" --gtest_filter="$filter" 2>&1 | tee "$log"
else
    # The build and source trees may sit where nobody cannot reach (a home folder).
    work=$(mktemp -d)
    cp "$program" "$work/"
    mkdir "$work/source" "$work/tmp"
    cp -r "$source_dir/examples" "$work/source/"
    chown -R 65534:65534 "$work"
    chmod -R u+rwX,go+rX "$work"
    cd "$work"
    setpriv --reuid=65534 --regid=65534 --clear-groups \
        env HOME="$work" TMPDIR="$work/tmp" OMBRIX_TEST_SOURCE_DIR="$work/source" \
        "./$(basename "$program")" --gtest_filter="$filter" 2>&1 | tee "$log"
fi
status=${PIPESTATUS[0]}
if ((status != 0)); then
    exit "$status"
fi
if grep -q "SKIPPED \]" "$log"; then
    echo "unprivileged.sh: a permission case was skipped" >&2
    exit 1
fi
if ! grep -Eq "PASSED  \] [1-9]" "$log"; then
    echo "unprivileged.sh: no test matched $filter" >&2
    exit 1
fi
