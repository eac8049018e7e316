#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need. As root it installs what
# is missing; otherwise it prints the apt-get line to run.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    clang libclang-rt-14-dev
    libcairo2-dev libplist-dev nlohmann-json3-dev libcli11-dev libsdl2-dev libwebp-dev
    libgtest-dev libgmock-dev libbenchmark-dev python3 help2man
    fonts-dejavu-core fonts-dejavu-extra libfreetype-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
