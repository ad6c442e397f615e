#!/usr/bin/env bash
# Times the UDP link's round trip under Wine: orp-target runs in a network namespace of its own
# (a veth pair, 10.232.N.1 on the panel's side, 10.232.N.2 on the target's), and
# orp_link_round_trip_bench.exe times host -> panel -> target -> panel -> host against the host's
# round trip plus two UDP round trips. Needs root (namespaces). Everything it creates is removed
# on exit.
#
#   bench/link_bench.sh <cross build dir> [round trips] [rounds]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?cross build dir}" && pwd)
count=${2:-300}
rounds=${3:-5}
[ "$(id -u)" = 0 ] || { echo "link bench: not run (network namespaces need root)"; exit 0; }
target="$root/build-bench/tools/orp-target"
[ -x "$target" ] || { echo "link bench: $target is missing"; exit 1; }

net=$(( $$ % 200 + 20 ))
ns="orpbench$$"
veth_host="orpb${$}h"
veth_target="orpb${$}t"
panel_ip="10.232.$net.1"
target_ip="10.232.$net.2"
port=7691
target_pid=""
cleanup() {
  [ -n "$target_pid" ] && kill "$target_pid" 2>/dev/null && wait "$target_pid" 2>/dev/null
  orp_netns_down "$ns" "$veth_host"
  orp_wine_stop
}
# shellcheck source=../scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
# shellcheck source=../scripts/netns.sh
. "$root/scripts/netns.sh"
trap cleanup EXIT
orp_netns_up "$ns" "$veth_host" "$veth_target" "$panel_ip" "$target_ip" ||
  { echo "link bench: the network namespace could not be set up"; exit 1; }
log=$(mktemp)
ip netns exec "$ns" "$target" --udp "$port" --seconds 600 --log "$log" </dev/null >/dev/null 2>&1 &
target_pid=$!
for _ in $(seq 1 100); do [ -s "$log" ] && break; sleep 0.05; done
orp_wine_start "$build"
(cd "$build/bin" && timeout 600 "$ORP_WINE" orp_link_round_trip_bench.exe "$target_ip" "$port" "$count" "$rounds")
status=$?
[ -n "${ORP_KEEP_TARGET_LOG:-}" ] && cp "$log" "$ORP_KEEP_TARGET_LOG"
rm -f "$log"
exit $status
