#!/usr/bin/env bash
# Installs what building and testing ORPpanel needs, and only what is missing.
# Idempotent; run as root (or with sudo available) on Debian 12.
set -euo pipefail

need_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
  cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev python3
  g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 fonts-wine
  xvfb xauth imagemagick socat x11-utils llvm lld iproute2 python3-pytest
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture (for wine32)"
  need_root dpkg --add-architecture i386
fi

missing=()
for pkg in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  case "$status" in *"install ok installed"*) ;; *) missing+=("$pkg") ;; esac
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: everything is installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
need_root apt-get update -qq
need_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
