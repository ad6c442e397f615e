#!/bin/bash
# Makes the pictures of docs/building-a-design.md: builds the demo work directory, runs the
# Wine test DesignGuide.* with it (it builds a design from the demo front plate with the mouse
# and the dialogs and saves screenshots), and converts the screenshots to PNG in docs/images.
# Needs the native build (build/, for the tools) and the cross build (build-win/).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
trap orp_wine_stop EXIT
work=$(mktemp -d)
python3 samples/make_demo_workdir.py "$work/demo" --designtool build/tools/orp-designtool \
    --lcdtool build/tools/orp-lcdtool >/dev/null
mkdir -p "$work/shots" docs/images
orp_wine_start build-win
export ORP_GUIDE_DIR ORP_GUIDE_SHOTS
ORP_GUIDE_DIR=$(orp_wine winepath -w "$work/demo" 2>/dev/null)
ORP_GUIDE_SHOTS=$(orp_wine winepath -w "$work/shots" 2>/dev/null)
(cd build-win/bin && orp_wine orp_wine_tests.exe --gtest_filter='DesignGuide.*')
for shot in "$work"/shots/*.bmp; do
    convert "$shot" "docs/images/$(basename "${shot%.bmp}").png"
done
rm -rf "$work"
ls docs/images/guide-*.png
