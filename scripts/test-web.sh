#!/usr/bin/env bash
# orp-web in a real browser: builds orp-web, the demo firmware and the design tools (build/),
# writes the demo work directory (build/web-demo), installs the browser tests' node packages
# (web/browser-tests, `npm ci`: playwright-core, which drives Debian's /usr/bin/chromium and
# downloads no browser) and runs them. Everything listens on loopback only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

jobs=${ORP_JOBS:-2}
cmake -S . -B build -DORP_WERROR=ON >/dev/null
cmake --build build -j"$jobs" --target orp-web orp_demo_web orp-designtool orp-lcdtool
demo="$root/build/web-demo"
python3 samples/make_demo_workdir.py "$demo" --designtool build/tools/orp-designtool \
  --lcdtool build/tools/orp-lcdtool >/dev/null

chromium=${ORP_CHROMIUM:-/usr/bin/chromium}
if [ ! -x "$chromium" ]; then
  echo "test-web: no browser at $chromium (scripts/setup.sh installs Debian's chromium)" >&2
  exit 1
fi
cd web/browser-tests
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error
ORP_BUILD_DIR="$root/build" ORP_WEB_DEMO="$demo" ORP_CHROMIUM="$chromium" ORP_SNAPSHOT_DIR="$root/build/snapshots" \
  timeout 300 npm test --silent
