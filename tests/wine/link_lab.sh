#!/bin/bash
# Runs the Wine tests of the target links (LinkLab*) against orp-target.
#
#   link_lab.sh <source dir> <directory of orp_wine_tests.exe> [gtest filter]
#
# The panel binds its UDP socket on every address with the target's own port, so the target
# lives in a network namespace of its own: a veth pair with one end inside, 10.231.N.1 on the
# panel's side and 10.231.N.2 on the target's. Serial targets get a socat pty pair whose one end
# is linked as a COM port of the wine prefix. The Wine tests ask for simulators and faults
# through request files in a lab directory; a controller loop here carries them out.
# Everything this script creates is removed on exit, also after a failure or a timeout.
set -u
source_dir=$1
exe_dir=$2
filter=${3:-LinkLab*}
lab_limit_s=900   # the controller never outlives this

skip() {
  echo "link lab: $1: the LinkLab tests are skipped"
  (cd "$exe_dir" && ORP_LINK_LAB_SKIP="$1" "${ORP_WINE:-wine}" orp_wine_tests.exe --gtest_color=no --gtest_filter="$filter")
  exit $?
}

[ -n "${WINEPREFIX:-}" ] || { echo "link lab: WINEPREFIX is not set (run through scripts/test.sh)"; exit 1; }
[ "$(id -u)" = 0 ] || skip "not running as root (network namespaces need it)"
command -v ip >/dev/null || skip "the ip command (iproute2) is missing"
command -v socat >/dev/null || skip "socat is missing"

target=${ORP_TARGET:-$source_dir/build/tools/orp-target}
if [ ! -x "$target" ]; then
  # The native build normally runs first; build just the simulator when it has not.
  native="$exe_dir/../native-target"
  cmake -S "$source_dir" -B "$native" >/dev/null && cmake --build "$native" -j2 --target orp-target >/dev/null ||
    { echo "link lab: cannot build orp-target"; exit 1; }
  target="$native/tools/orp-target"
fi

lab=$(mktemp -d /tmp/orp-lab.XXXXXX)
net=$(( $$ % 200 + 20 ))
ns="orplab$$"
veth_host="orpl${$}h"
veth_target="orpl${$}t"
panel_ip="10.231.$net.1"
target_ip="10.231.$net.2"
com=7
controller=""

cleanup() {
  [ -n "$controller" ] && kill "$controller" 2>/dev/null
  stop_target
  orp_netns_down "$ns" "$veth_host"
  rm -f "$WINEPREFIX/dosdevices/com$com"
  rm -rf "$lab"
}

target_pid=""
socat_pid=""
stop_target() {
  exec 7>&- 2>/dev/null
  [ -n "$target_pid" ] && kill "$target_pid" 2>/dev/null && wait "$target_pid" 2>/dev/null
  [ -n "$socat_pid" ] && kill "$socat_pid" 2>/dev/null && wait "$socat_pid" 2>/dev/null
  target_pid=""
  socat_pid=""
}

# shellcheck source=../../scripts/netns.sh
. "$source_dir/scripts/netns.sh"
setup_netns() { orp_netns_up "$ns" "$veth_host" "$veth_target" "$panel_ip" "$target_ip"; }

# Starts the simulator with its standard input on a fifo that stays open on descriptor 7.
start_target() {  # start_target <wrapper command...> -- <orp-target arguments...>
  rm -f "$lab/target.in" "$lab/target.log"
  mkfifo "$lab/target.in"
  "$@" --stdin --seconds 300 --log "$lab/target.log" <"$lab/target.in" >/dev/null 2>"$lab/target.err" &
  target_pid=$!
  exec 7>"$lab/target.in"
}

handle() {  # one request line; prints the reply
  set -- $1
  case "$1" in
  udp)  # udp <handshake> <port>
    stop_target
    setup_netns || { echo "error: namespace"; return; }
    start_target ip netns exec "$ns" "$target" --udp "$3" --handshake "$2"
    for _ in $(seq 1 100); do [ -s "$lab/target.log" ] && break; sleep 0.05; done
    echo "ok $target_ip" ;;
  serial)  # serial <handshake>
    stop_target
    socat pty,raw,echo=0,link="$lab/ttyPanel" pty,raw,echo=0,link="$lab/ttyTarget" 2>/dev/null &
    socat_pid=$!
    for _ in $(seq 1 100); do [ -e "$lab/ttyPanel" ] && [ -e "$lab/ttyTarget" ] && break; sleep 0.05; done
    ln -sfn "$lab/ttyPanel" "$WINEPREFIX/dosdevices/com$com"
    start_target "$target" --serial "$lab/ttyTarget" --handshake "$2"
    for _ in $(seq 1 100); do [ -s "$lab/target.log" ] && break; sleep 0.05; done
    echo "ok com$com" ;;
  say)  # say <command for the simulator>
    shift
    echo "$*" >&7 && echo ok || echo "error: no target" ;;
  stop) stop_target; echo ok ;;
  netns-down) orp_netns_down "$ns" "$veth_host"; echo ok ;;
  pty-close) stop_target; echo ok ;;
  *) echo "error: unknown request $1" ;;
  esac
}

controller_loop() {
  trap 'stop_target; exit 0' TERM
  local start=$SECONDS
  while [ $((SECONDS - start)) -lt $lab_limit_s ]; do
    if [ -f "$lab/request" ]; then
      local request
      request=$(cat "$lab/request")
      rm -f "$lab/request"
      handle "$request" >"$lab/reply.tmp" 2>&1
      mv "$lab/reply.tmp" "$lab/reply"
    fi
    sleep 0.05
  done
  stop_target
}

trap cleanup EXIT
trap 'exit 1' INT TERM
controller_loop &
controller=$!
(cd "$exe_dir" && ORP_LINK_LAB="$lab" ORP_LINK_LAB_COM="$com" \
  timeout $lab_limit_s "${ORP_WINE:-wine}" orp_wine_tests.exe --gtest_color=no --gtest_filter="$filter")
