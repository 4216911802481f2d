#!/usr/bin/env bash
# Installs the Debian packages that building (and, with --test, testing) Ombrix needs and that
# are missing. Waits for a concurrent apt run instead of failing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-svg-dev libqt6sql6-sqlite libgl-dev libcups2-dev
    qt6-qpa-plugins
    fonts-dejavu-core fonts-urw-base35
    libgtest-dev libgmock-dev libbenchmark-dev
)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(
        clang-format clang libclang-rt-14-dev
        xvfb xauth xdotool xclip x11-apps
        cups cups-bsd cups-client printer-driver-cups-pdf poppler-utils
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -o DPkg::Lock::Timeout=600
"${sudo[@]}" apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
