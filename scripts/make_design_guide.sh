#!/bin/bash
# Makes the pictures of docs/building-a-design.md: builds the demo work directory, runs the
# Wine test DesignGuide.* with it (it builds a design from the demo front plate with the mouse
# and the dialogs and saves screenshots), and converts the screenshots to PNG in docs/images.
# Builds what it needs: the native tools (build/) and the Wine tests of the 32-bit cross build
# (build-win/), or of the 64-bit one (build-win64/) where 32-bit programs cannot run or
# ORP_DEMO_WIDTH=64 asks for it.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=wine-env.sh
. scripts/wine-env.sh
width=${ORP_DEMO_WIDTH:-}
if [ -z "$width" ]; then
    if orp_wine32_unusable >/dev/null; then width=64; else width=32; fi
fi
if [ "$width" = 64 ]; then build=build-win64; arch=x86_64; else build=build-win; arch=i686; fi
cmake -S . -B build >/dev/null
cmake --build build -j2 --target orp-lcdtool orp-designtool
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" >/dev/null
cmake --build "$build" -j2 --target orppanel orp_wine_tests
trap orp_wine_stop EXIT
work=$(mktemp -d)
python3 samples/make_demo_workdir.py "$work/demo" --designtool build/tools/orp-designtool \
    --lcdtool build/tools/orp-lcdtool >/dev/null
mkdir -p "$work/shots" docs/images
orp_wine_start "$build" "$width"
export ORP_GUIDE_DIR ORP_GUIDE_SHOTS
# The pictures show the design's path in the panel's title: C:\ORPpanel\demo\ORPDesigns\...
ORP_GUIDE_DIR=$(orp_wine_demo_dir "$work/demo")
ORP_GUIDE_SHOTS=$(orp_wine winepath -w "$work/shots" 2>/dev/null | tr -d '\r')
(cd "$build/bin" && orp_wine orp_wine_tests.exe --gtest_filter='DesignGuide.*')
for shot in "$work"/shots/*.bmp; do
    convert "$shot" "docs/images/$(basename "${shot%.bmp}").png"
done
rm -f "$WINEPREFIX/drive_c/ORPpanel/demo"
rm -rf "$work"
ls docs/images/guide-*.png
