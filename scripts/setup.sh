#!/usr/bin/env bash
# Installs what building and testing ORPpanel needs, and only what is missing.
# Idempotent; run as root (or with sudo available) on Debian 12.
#
# wine32 is the one optional package: it is only wanted where this machine can run 32-bit
# programs at all (the same probe the test script uses). Where it cannot be installed, the rest
# still is, and the test and run scripts take their 64-bit-only path. A package index that
# fails to download is retried, then left to apt-get install to decide.
#
#   ORP_APT_RETRIES   attempts of apt-get update (default 3)
#   ORP_APT_PAUSE     seconds between them (default 5)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"

need_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
  cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev python3
  g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine64 fonts-wine
  xvfb xauth imagemagick socat x11-utils llvm lld iproute2 python3-pytest
  python3-venv python3-setuptools python3-wheel python3-pil
  libwebsocketpp-dev libasio-dev nlohmann-json3-dev chromium
)
# The browser tests' node packages come from npm: Debian's node and npm where the machine has
# no npm of its own (a node installed otherwise brings its npm along).
if ! command -v npm >/dev/null 2>&1; then packages+=(nodejs npm); fi
optional_wine32=wine32:i386

if [ -n "${ORP_NO_32BIT:-}" ]; then
  echo "setup: ORP_NO_32BIT is set: not adding the i386 architecture, not installing wine32"
  optional_wine32=""
elif ! orp_can_run_32bit; then
  echo "setup: this machine runs no 32-bit programs: not adding the i386 architecture, not installing wine32"
  optional_wine32=""
fi

is_installed() {
  case "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" in
    *"install ok installed"*) return 0 ;;
    *) return 1 ;;
  esac
}

missing=()
for pkg in "${packages[@]}"; do is_installed "$pkg" || missing+=("$pkg"); done
want_wine32=""
if [ -n "$optional_wine32" ] && ! is_installed "$optional_wine32"; then want_wine32=1; fi
# After wine32 failed to install, the scripts that call setup every time do not try again (and
# wait out apt-get update's retries) for a day; remove the marker to try at once.
wine32_marker="${XDG_CACHE_HOME:-$HOME/.cache}/orppanel/wine32-not-installable"
if [ -n "$want_wine32" ] && [ -n "$(find "$wine32_marker" -mmin -1440 2>/dev/null)" ]; then
  echo "setup: wine32 could not be installed earlier today (remove $wine32_marker to try again): the 32-bit Wine tests will not run here"
  want_wine32=""
fi

if [ ${#missing[@]} -eq 0 ] && [ -z "$want_wine32" ]; then
  echo "setup: everything is installed"
  exit 0
fi

if [ -n "$want_wine32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture (for wine32)"
  need_root dpkg --add-architecture i386
fi

# A mirror in the middle of a sync serves an index of the wrong size for a while: retry, then go
# on with the indexes that did arrive.
retries=${ORP_APT_RETRIES:-3}
pause=${ORP_APT_PAUSE:-5}
attempt=1
until need_root apt-get update -qq; do
  if [ "$attempt" -ge "$retries" ]; then
    echo "setup: apt-get update failed $attempt times; going on with the package indexes that arrived"
    break
  fi
  echo "setup: apt-get update failed (attempt $attempt of $retries); trying again in ${pause} s"
  sleep "$pause"
  attempt=$((attempt + 1))
done

apt_install() {
  need_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@"
}

# Names every package of the list that apt-get cannot install on its own, then fails.
fail_naming_uninstallable() {
  local bad=() pkg
  for pkg in "$@"; do
    need_root apt-get install -s -y -qq "$pkg" >/dev/null 2>&1 || bad+=("$pkg")
  done
  if [ ${#bad[@]} -eq 0 ]; then
    echo "setup: error: apt-get install failed for: $*" >&2
  else
    echo "setup: error: these packages cannot be installed: ${bad[*]}" >&2
  fi
  exit 1
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt_install "${missing[@]}" || fail_naming_uninstallable "${missing[@]}"
fi

if [ -n "$want_wine32" ]; then
  echo "setup: installing $optional_wine32"
  if apt_install "$optional_wine32"; then
    rm -f "$wine32_marker"
  else
    mkdir -p "$(dirname "$wine32_marker")" && touch "$wine32_marker"
    echo "setup: $optional_wine32 could not be installed (see apt-get's message above): the 32-bit Wine tests will not run here, only the 64-bit ones"
  fi
fi
