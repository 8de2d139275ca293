#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (only what is missing), then
# configures and builds into build/. Run as root on Debian 12.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
packages=(
    cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-multimedia-dev libgtest-dev
    xvfb xauth x11-utils fonts-liberation fonts-dejavu-core
    qt6-translations-l10n python3-pyatspi at-spi2-core dbus dbus-x11
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

werror=OFF
[[ "${CI:-}" == "true" ]] && werror=ON
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORLANZ_WERROR="$werror"
cmake --build "$root/build" --parallel "$(nproc)"
