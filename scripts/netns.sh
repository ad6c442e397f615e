# Shell functions (sourced) for a network namespace with one veth pair: the panel's end stays in
# the root namespace, the other end is inside with the target.
#
#   orp_netns_up <namespace> <veth outside> <veth inside> <address outside> <address inside>
#   orp_netns_down <namespace> <veth outside>
# Addresses are /24. orp_netns_up removes what an earlier run left behind first.

orp_netns_down() {
  ip netns del "$1" 2>/dev/null
  ip link del "$2" 2>/dev/null
  return 0
}

orp_netns_up() {
  local ns=$1 outside=$2 inside=$3 outside_ip=$4 inside_ip=$5
  orp_netns_down "$ns" "$outside"
  ip netns add "$ns" &&
    ip link add "$outside" type veth peer name "$inside" &&
    ip link set "$inside" netns "$ns" &&
    ip addr add "$outside_ip/24" dev "$outside" &&
    ip link set "$outside" up &&
    ip netns exec "$ns" ip addr add "$inside_ip/24" dev "$inside" &&
    ip netns exec "$ns" ip link set "$inside" up &&
    ip netns exec "$ns" ip link set lo up
}
