#!/usr/bin/env bash
# Runs the refused-job printing test while the PDF printer refuses jobs, and lets it accept
# jobs again afterwards. Skipped (77) where no PDF printer can be administered, unless
# OMBRIX_REQUIRE_PRINTER is set.
set -u
skip() {
    if [[ -n "${OMBRIX_REQUIRE_PRINTER:-}" ]]; then
        echo "refused_print: $1" >&2
        exit 1
    fi
    echo "refused_print: $1; skipped"
    exit 77
}
lpstat -p PDF >/dev/null 2>&1 || skip "no printer named PDF"
cupsreject PDF 2>/dev/null || skip "cannot make the printer PDF refuse jobs"
trap 'cupsaccept PDF' EXIT
OMBRIX_EXPECT_REFUSED_PRINT=1 "$1" --gtest_filter=PrintIsolated.RefusedJobGivesExactlyOneErrorBox
