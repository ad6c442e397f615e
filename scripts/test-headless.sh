#!/usr/bin/env bash
# Builds the headless panel and the native tools (build/), then runs the pytest tests against
# it: the demo firmware example (examples/pytest) and the headless panel's own tests
# (tests/headless). Snapshots go to build/snapshots.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${ORP_JOBS:-2}
cmake -S . -B build -DORP_WERROR=ON >/dev/null
cmake --build build -j"$jobs" --target orppanel-headless orp-designtool orp-lcdtool

# pytest comes from Debian (python3-pytest) for the system Python; another python3 earlier on
# PATH may lack it.
python=""
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -m pytest --version >/dev/null 2>&1; then python=$candidate; break; fi
done
if [ -z "$python" ]; then
  echo "test-headless: no python3 with pytest (scripts/setup.sh installs python3-pytest)" >&2
  exit 1
fi
ORP_SNAPSHOT_DIR="$PWD/build/snapshots" "$python" -m pytest -q -p no:cacheprovider examples/pytest tests/headless
echo "test-headless: snapshots in build/snapshots"
