#!/usr/bin/env bash
# Builds orppanel.dll and the demo host and runs the demo under Wine: the 32-bit demo
# (build-win/) where this machine can run 32-bit programs under wine32, else the 64-bit one (build-win64/
# under wine64). With no X display (or ORP_HEADLESS=1) it runs under a private Xvfb and saves a
# screenshot of the panel to <build dir>/demo-screenshot.png.
#
#   scripts/run.sh                runs the demo device until its panel is closed (headless: a
#                                 scripted session with pictures of its steps and a GIF)
#   ORP_DEMO_WIDTH=64 scripts/run.sh   runs the 64-bit demo even where 32-bit programs run
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/setup.sh"
# The native tools encode the demo's LCD library and design.
cmake -S . -B build >/dev/null
cmake --build build -j2 --target orp-lcdtool orp-designtool
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
width=${ORP_DEMO_WIDTH:-}
if [ -z "$width" ]; then
  if orp_wine32_unusable >/dev/null; then width=64; else width=32; fi
fi
if [ "$width" = 64 ]; then
  build=build-win64; arch=x86_64
  why=$(orp_wine32_unusable) || why="as asked"
  echo "demo: running the 64-bit orppanel.dll and demo host under wine64 ($why)"
else
  build=build-win; arch=i686
  echo "demo: running the 32-bit orppanel.dll and demo host under wine32"
fi
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" >/dev/null
cmake --build "$build" -j2 --target orppanel orp_demo_host
demo="$root/$build/demo"
python3 samples/make_demo_workdir.py "$demo" --designtool build/tools/orp-designtool --lcdtool build/tools/orp-lcdtool

headless=${ORP_HEADLESS:-}
if [ -n "${DISPLAY:-}" ] && [ -z "$headless" ]; then export ORP_USE_DISPLAY=1; fi
trap orp_wine_stop EXIT
orp_wine_start "$build" "$width"

# Point the panel's settings at the demo work directory and its design, seen by the panel as
# C:\ORPpanel\demo (its title shows the design's path).
wdemo=$(orp_wine_demo_dir "$demo")
key='HKCU\Software\Tavelle\OrPpanel\Settings'
# Start from a clean key: the Wine tests share this prefix and leave their own settings behind.
orp_wine reg delete "$key" /f >/dev/null 2>&1 </dev/null || true
for pair in "RegistrySet=1" "WrkDir=$wdemo" "FileCfg=$wdemo\ORPDesigns\demo.orp" \
            "ContextHelpFile=$wdemo\ORPDesigns\demo_contexthelp.txt" "Scale=1" \
            "RxTx=${ORP_DEMO_MONITOR:-0}" "Trace=${ORP_DEMO_MONITOR:-0}" "RxTxLog=1" "TraceLog=1"; do
  orp_wine reg add "$key" /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1 </dev/null
done

if [ -n "${ORP_USE_DISPLAY:-}" ]; then
  # Operate the demo device on the panel; the demo ends when the panel window is closed.
  (cd "$build/bin" && orp_wine orp_demo_host.exe)
else
  # Headless: the demo plays a short scripted session itself and saves a picture of each step;
  # they become PNGs, an animated GIF and the screenshot.
  steps="$root/$build/demo-steps"
  rm -rf "$steps" && mkdir -p "$steps"
  wsteps=$(orp_wine winepath -w "$steps" 2>/dev/null | tr -d '\r')
  (cd "$build/bin" && orp_wine orp_demo_host.exe --script "$wsteps")
  for f in "$steps"/*.bmp; do convert "$f" "${f%.bmp}.png" && rm "$f"; done
  convert -delay 150 -loop 0 "$steps"/*.png -layers Optimize "$root/$build/demo.gif"
  cp "$steps/03-measuring-start-latched.png" "$root/$build/demo-screenshot.png"
  echo "pictures: $steps/*.png, $root/$build/demo.gif, $root/$build/demo-screenshot.png"
fi
