#!/usr/bin/env bash
# Installs the engine from a build tree and builds examples/ on it as another project would:
# once through the CMake package, once with a single pkg-config g++ line. The installed tree is
# moved before use, so a package file naming the place it was installed to fails. Both builds, the
# installed demonstration and the installed viewer then run a few frames.
#     tests/check_installed_package.sh BUILD_DIR
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
scratch="$(cd "$1" && pwd)/installed-package"
prefix="$scratch/moved-prefix"
with_display="$source_dir/scripts/with-display.sh"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch"
cmake --install "$1" --prefix "$scratch/prefix" > /dev/null
mv "$scratch/prefix" "$prefix"

echo "== the CMake package"
cmake -S "$source_dir/examples" -B "$scratch/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$scratch/cmake-build" -j2

echo "== find_package(Brackmoor 1.0) must refuse version 0.x"
mkdir -p "$scratch/too-new"
printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(TooNew NONE)' \
    'find_package(Brackmoor 1.0 CONFIG REQUIRED)' > "$scratch/too-new/CMakeLists.txt"
if cmake -S "$scratch/too-new" -B "$scratch/too-new/build" -DCMAKE_PREFIX_PATH="$prefix" \
    > "$scratch/too-new/log" 2>&1; then
    fail "find_package(Brackmoor 1.0) accepted the installed version"
fi
grep -q 'compatible with requested version "1.0"' "$scratch/too-new/log" ||
    { cat "$scratch/too-new/log"; fail "find_package(Brackmoor 1.0) failed for another reason"; }

echo "== one pkg-config g++ line"
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
mkdir -p "$scratch/pkg-config-build"
flags="$(pkg-config --cflags --libs brackmoor)"
# shellcheck disable=SC2206 # the flags are split into words on purpose
compile=(g++ -std=c++17 -Wall -Wextra -Werror "$source_dir/examples/SpinningCube.cpp"
    -o "$scratch/pkg-config-build/SpinningCube" $flags)
echo "${compile[*]}"
"${compile[@]}"

echo "== running both builds and the installed demonstration"
version="$(pkg-config --modversion brackmoor)"
for example in "$scratch/cmake-build/SpinningCube" "$scratch/pkg-config-build/SpinningCube"; do
    "$with_display" "$example" --frames 5 "$prefix/share/brackmoor" > "$scratch/out" ||
        fail "$example exited with status $?"
    first_line="$(head -n 1 "$scratch/out")"
    [ "$first_line" = "SpinningCube on Brackmoor $version" ] ||
        fail "$example printed '$first_line', not the version brackmoor.pc gives, $version"
done
cd "$prefix/share/brackmoor"
"$with_display" "$prefix/bin/BrackmoorDemoWin32" --frames 1 > /dev/null ||
    fail "the installed demonstration did not run on its installed data"
"$with_display" "$prefix/bin/brackmoor-view" Zarodoru.lwo --frames 1 > /dev/null ||
    fail "the installed viewer did not show the installed model"
echo "== the installed package works"
