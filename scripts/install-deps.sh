#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, only when one is missing.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev pkg-config
    freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri
    xvfb xauth
    libgtest-dev libbenchmark-dev libpng-dev zlib1g-dev libassimp-dev libstb-dev
    apitrace
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
