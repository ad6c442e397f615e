#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. native build: unit tests of the portable core (ctest);
#   2. the same under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. fuzz targets (clang/libFuzzer), a few seconds each;
#   4. cross build with MinGW-w64: orppanel.dll, the demo host, the Wine test host;
#   5. the Wine tests under a private Xvfb.
# Build directories: build/, build-asan/, build-fuzz/, build-win/ below the project root.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${ORP_JOBS:-2}

"$root/scripts/setup.sh"

step() { printf '\n==== %s\n' "$*"; }

step "native build and unit tests"
cmake -S . -B build -DORP_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

step "unit tests under ASan/UBSan"
cmake -S . -B build-asan -DORP_SANITIZE=ON -DORP_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs")

step "fuzz targets"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DORP_FUZZ=ON -DORP_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$jobs"
(cd build-fuzz && ctest --output-on-failure)

step "cross build (orppanel.dll, hosts, Wine tests)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DORP_WERROR=ON >/dev/null
cmake --build build-win -j"$jobs"

step "Wine tests"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
trap orp_wine_stop EXIT
orp_wine_start build-win
(cd build-win && ctest --output-on-failure)

step "all tests passed"
