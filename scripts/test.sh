#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. native build: unit tests of the portable core and of orp-web (ctest); the headless
#      panel's Python tests; orp-web's page in headless Chromium (scripts/test-web.sh);
#   2. the same unit tests under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. fuzz targets (clang/libFuzzer), a few seconds each;
#   4. cross builds with MinGW-w64, 32-bit (build-win/) and 64-bit (build-win64/): orppanel.dll,
#      the demo host, the Wine test host, the MSVC-ABI host; both export tables are checked;
#   5. the Wine tests under a private Xvfb: always on the 64-bit build under wine64, and on the
#      32-bit build under wine32 where this machine can run 32-bit programs at all;
#   6. the Python package (scripts/test-headless.sh: installed into a new venv, its plugin and
#      tests run outside the repository), and an RXTX log the 64-bit DLL writes under Wine during
#      a host session replayed into the headless panel with it.
# Build directories: build/, build-asan/, build-fuzz/, build-win/, build-win64/ below the root.
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

step "Python package: installed into a new venv, the plugin's example and own tests outside the repository"
pywork=$(mktemp -d)
trap 'rm -rf "$pywork"' EXIT
ORP_VENV=$pywork/venv "$root/scripts/test-headless.sh"

step "orp-web: the page in headless Chromium with the demo firmware"
"$root/scripts/test-web.sh"

step "unit tests under ASan/UBSan"
cmake -S . -B build-asan -DORP_SANITIZE=ON -DORP_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs")

step "fuzz targets"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DORP_FUZZ=ON -DORP_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$jobs"
(cd build-fuzz && ctest --output-on-failure)

# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
trap 'orp_wine_stop; rm -rf "$pywork"' EXIT
if why32=$(orp_wine32_unusable); then run32=""; else run32=1; fi

for width in 32 64; do
  if [ "$width" = 64 ]; then dir=build-win64; arch=x86_64; else dir=build-win; arch=i686; fi
  step "cross build, $width-bit (orppanel.dll, hosts, Wine tests)"
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" -DORP_WERROR=ON >/dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure -R '^export_table$')
done

step "Wine tests, 64-bit build under wine64"
orp_wine_start build-win64 64
(cd build-win64 && ctest --output-on-failure -E '^export_table$')

step "an RXTX log written by the DLL under Wine, replayed into the headless panel"
mkdir -p "$pywork/replay"
(cd build-win64/bin && export ORP_REPLAY_DIR="$(orp_wine winepath -w "$pywork/replay" 2>/dev/null | tr -d '\r')" &&
  orp_wine orp_wine_tests.exe --gtest_filter='RxTxLog.*' --gtest_color=no)
test -f "$pywork/replay/RXTX.log" || { echo "test: the Wine test left no RXTX log in $pywork/replay" >&2; exit 1; }
cp "$root/tests/headless/test_wine_log.py" "$pywork/replay/"
(cd "$pywork/replay" && ORP_REPLAY_DIR=$pywork/replay "$pywork/venv/bin/python" -m pytest -q -p no:cacheprovider \
  -rs test_wine_log.py)
orp_wine_stop

if [ -n "$run32" ]; then
  step "Wine tests, 32-bit build under wine32"
  orp_wine_start build-win 32
  (cd build-win && ctest --output-on-failure -E '^export_table$')
  orp_wine_stop
else
  step "Wine tests, 32-bit build: not run"
  echo "32-bit Wine tests not run ($why32): the 32-bit orppanel.dll was built and its exports checked, but not run."
fi

step "all tests passed"
