#!/usr/bin/env bash
# Makes sure a print server runs and a PDF printer named "PDF" is the default printer, so the
# printing tests print for real (cups-pdf writes the pages under the user's PDF folder).
set -euo pipefail

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    if command -v systemctl >/dev/null && systemctl is-system-running >/dev/null 2>&1; then
        "${sudo[@]}" systemctl start cups
    else
        "${sudo[@]}" cupsd
    fi
    for _ in $(seq 1 60); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.5
    done
fi
lpstat -r | grep -q "is running" || { echo "setup-printer: the print server did not start" >&2; exit 1; }

if ! lpstat -p PDF >/dev/null 2>&1; then
    "${sudo[@]}" lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
fi
"${sudo[@]}" cupsenable PDF
"${sudo[@]}" cupsaccept PDF
"${sudo[@]}" lpadmin -d PDF
lpstat -d
