#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, and nothing when they
# are all there already. Runs as root (or through sudo when it is available).
set -euo pipefail

packages=(
    cmake ninja-build g++ make
    qt6-base-dev qt6-tools-dev qt6-documentation-tools libqt6sql6-sqlite libgl-dev
    libbenchmark-dev
    fonts-dejavu-core fonts-dejavu-extra
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
