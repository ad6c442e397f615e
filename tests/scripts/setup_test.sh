#!/usr/bin/env bash
# Runs scripts/setup.sh against stand-ins for apt-get, dpkg and dpkg-query on PATH, so the ways a
# fresh machine's package installation goes wrong can be tried without touching the machine:
# a package index that keeps failing, wine32 that cannot be installed, another package that
# cannot be installed, and a machine that runs no 32-bit programs.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# Each case sets what it needs; the caller's own choice must not leak in.
unset ORP_NO_32BIT ORP_APT_RETRIES

mkdir -p "$work/bin"
# Every call is logged; FAKE_* variables decide what fails. Nothing counts as installed.
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE_LOG"
case " $* " in
  *" update "*) [ -z "${FAKE_UPDATE_FAILS:-}" ] || { echo "E: Failed to fetch binary-i386/Packages.xz" >&2; exit 100; } ;;
  *" install "*)
    for bad in ${FAKE_UNINSTALLABLE:-}; do
      case " $* " in *" $bad "*) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;; esac
    done ;;
esac
exit 0
EOF
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
cat >"$work/bin/dpkg" <<'EOF'
#!/bin/sh
echo "dpkg $*" >>"$FAKE_LOG"
EOF
cat >"$work/bin/id" <<'EOF'
#!/bin/sh
echo 0
EOF
chmod +x "$work/bin/"*

# run_case <name> <expected exit> <env...>: runs setup.sh, leaving its output in $out and the
# calls it made in $log.
run_case() {
  local name=$1 want=$2 rc=0
  shift 2
  log="$work/$name.log"
  : >"$log"
  out=$(env PATH="$work/bin:$PATH" FAKE_LOG="$log" XDG_CACHE_HOME="$work/cache-$name" \
        ORP_APT_PAUSE=0 "$@" "$root/scripts/setup.sh" 2>&1) || rc=$?
  case_name=$name
  if [ "$rc" -ne "$want" ]; then fail "exit code $rc, expected $want"; fi
}
fail() {
  echo "FAIL [$case_name]: $*"
  echo "$out" | sed 's/^/    | /'
  failures=$((failures + 1))
}
expect_out() { grep -qF -- "$1" <<<"$out" || fail "output lacks: $1"; }
expect_call() { grep -qE -- "$1" "$log" || fail "no call matching: $1"; }
expect_no_call() { ! grep -qE -- "$1" "$log" || fail "unexpected call matching: $1"; }

# The index keeps failing: three tries, then the install goes ahead.
run_case update-fails 0 FAKE_UPDATE_FAILS=1 ORP_NO_32BIT=
expect_out "apt-get update failed 3 times; going on"
[ "$(grep -c 'apt-get update' "$log")" -eq 3 ] || fail "apt-get update not tried exactly 3 times"
expect_call 'apt-get install .* wine64 '

# wine32 cannot be installed: the rest is, one line says so, and setup succeeds. Where 32-bit
# programs cannot run at all this case becomes the next one, so it needs the probe to pass.
if (. "$root/scripts/wine-env.sh"; orp_can_run_32bit); then
  run_case wine32-broken 0 FAKE_UPDATE_FAILS=1 FAKE_UNINSTALLABLE=wine32:i386
  expect_out "wine32:i386 could not be installed"
  expect_out "the 32-bit Wine tests will not run here"
  expect_call 'dpkg --add-architecture i386'
  # A second run the same day does not try again.
  : >"$log"
  out=$(env PATH="$work/bin:$PATH" FAKE_LOG="$log" XDG_CACHE_HOME="$work/cache-wine32-broken" \
        ORP_APT_PAUSE=0 FAKE_UNINSTALLABLE=wine32:i386 "$root/scripts/setup.sh" 2>&1)
  expect_out "could not be installed earlier today"
  expect_no_call 'wine32'
fi

# No 32-bit execution: neither the i386 architecture nor wine32.
run_case no-32bit 0 ORP_NO_32BIT=1
expect_out "not adding the i386 architecture, not installing wine32"
expect_no_call 'add-architecture'
expect_no_call 'wine32'

# Any other package that cannot be installed is an error that names it.
run_case other-missing 1 ORP_NO_32BIT=1 FAKE_UNINSTALLABLE=socat
expect_out "these packages cannot be installed: socat"

if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "setup script: all cases passed"
