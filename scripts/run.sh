#!/usr/bin/env bash
# Builds orppanel.dll and the demo host and runs the demo under Wine.
# With no X display (or ORP_HEADLESS=1) it runs under a private Xvfb and saves a screenshot of
# the panel to build-win/demo-screenshot.png.
#
#   scripts/run.sh [seconds]      how long the demo host keeps the panel open (default 8)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-8}

"$root/scripts/setup.sh"
# The native tools encode the demo's LCD library and design.
cmake -S . -B build >/dev/null
cmake --build build -j2 --target orp-lcdtool orp-designtool
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
cmake --build build-win -j2 --target orppanel orp_demo_host
demo="$root/build-win/demo"
python3 samples/make_demo_workdir.py "$demo" --designtool build/tools/orp-designtool --lcdtool build/tools/orp-lcdtool

# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
headless=${ORP_HEADLESS:-}
if [ -n "${DISPLAY:-}" ] && [ -z "$headless" ]; then export ORP_USE_DISPLAY=1; fi
trap orp_wine_stop EXIT
orp_wine_start build-win

# Point the panel's settings at the demo work directory and its design.
wdemo=$(winepath -w "$demo" 2>/dev/null)
key='HKCU\Software\Tavelle\OrPpanel\Settings'
# Start from a clean key: the Wine tests share this prefix and leave their own settings behind.
wine reg delete "$key" /f >/dev/null 2>&1 </dev/null || true
for pair in "RegistrySet=1" "WrkDir=$wdemo" "FileCfg=$wdemo\ORPDesigns\demo.orp" \
            "ContextHelpFile=$wdemo\ORPDesigns\demo_kontexthilfe.txt" "Scale=1" \
            "RxTx=${ORP_DEMO_MONITOR:-0}" "Trace=${ORP_DEMO_MONITOR:-0}" "RxTxLog=1" "TraceLog=1"; do
  wine reg add "$key" /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1 </dev/null
done

shot="$root/build-win/demo-screenshot.png"
(
  if [ -z "${ORP_USE_DISPLAY:-}" ]; then
    # Take the screenshot while the demo still shows the panel.
    sleep $((seconds > 3 ? seconds - 2 : 1))
    import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
  fi
) &
shooter=$!
(cd build-win/bin && wine orp_demo_host.exe "$seconds")
wait "$shooter" || true
