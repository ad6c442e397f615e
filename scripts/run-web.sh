#!/usr/bin/env bash
# Runs the demo device natively on Linux with its panel in a web browser: builds orp-web and the
# demo firmware (build/), writes the demo work directory (build/web-demo), starts orp-web with the
# demo design and the firmware connected to its panel over the panel's local socket, and prints
# the address to open. Ctrl+C ends both.
#
#   scripts/run-web.sh                     http://127.0.0.1:8022/, on this machine only
#   scripts/run-web.sh --listen 0.0.0.0    reachable from the other machines of the network too
#   scripts/run-web.sh --port N            another port (0: any free one)
#   scripts/run-web.sh --in-process        firmware and server in one process (the C++ API)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

listen=127.0.0.1
port=8022
in_process=""
while [ $# -gt 0 ]; do
  case "$1" in
    --listen) listen=${2:?--listen needs an address}; shift 2 ;;
    --port) port=${2:?--port needs a number}; shift 2 ;;
    --in-process) in_process=1; shift ;;
    -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run-web: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
done

"$root/scripts/setup.sh"
cmake -S . -B build >/dev/null
cmake --build build -j"${ORP_JOBS:-2}" --target orp-web orp_demo_web orp-designtool orp-lcdtool
demo="$root/build/web-demo"
python3 samples/make_demo_workdir.py "$demo" --designtool build/tools/orp-designtool \
  --lcdtool build/tools/orp-lcdtool >/dev/null

if [ -n "$in_process" ]; then
  exec build/bin/orp_demo_web --serve "$demo" --listen "$listen" --port "$port"
fi

sockets=$(mktemp -d)
pids=()
stop() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$sockets"
}
trap stop EXIT
trap 'exit 130' INT TERM
build/bin/orp-web --listen "$listen" --port "$port" --lcd-library "$demo/ORPDesigns/LCDs" \
  --sockets "$sockets" "$demo/ORPDesigns/demo.orp" &
pids+=($!)
build/bin/orp_demo_web --connect "$sockets/panel0.sock" &
pids+=($!)
# Until either ends (the server could not listen, or Ctrl+C).
wait -n "${pids[@]}" || true
