#!/bin/bash
# install_test.sh <build dir> <consumer source dir>
# Installs the build into a fresh prefix, then builds the consumer host against that prefix
# with CMake (find_package) and with pkg-config (once with an rpath, once run through
# LD_LIBRARY_PATH), and runs each; every one must print "ok". The prefix is moved before the
# pkg-config builds, so the installed files must not depend on where they were installed.
set -eu
build=$1
consumer=$2
tmp=$(mktemp -d /tmp/orp-install.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install failed"; }
for f in include/orppanel_host.h include/orppanel_headless.h; do
  [ -f "$tmp/prefix/$f" ] || fail "$f was not installed"
done

cmake -S "$consumer" -B "$tmp/with-cmake" -DCMAKE_PREFIX_PATH="$tmp/prefix" >"$tmp/cmake.log" 2>&1 ||
  { cat "$tmp/cmake.log"; fail "find_package(orppanel) failed"; }
cmake --build "$tmp/with-cmake" >>"$tmp/cmake.log" 2>&1 || { cat "$tmp/cmake.log"; fail "the CMake consumer did not build"; }
[ "$("$tmp/with-cmake/orp_install_consumer")" = ok ] || fail "the CMake consumer did not run"

mv "$tmp/prefix" "$tmp/moved"
pc=$(find "$tmp/moved" -name orppanel-headless.pc | head -n 1)
[ -n "$pc" ] || fail "orppanel-headless.pc was not installed"
export PKG_CONFIG_PATH=$(dirname "$pc")
libdir=$(pkg-config --variable=libdir orppanel-headless)
[ -f "$libdir/liborppanel-headless.so" ] || fail "pkg-config names $libdir, which has no liborppanel-headless.so"
# shellcheck disable=SC2046
c++ -std=c++17 "$consumer/consumer.cpp" -o "$tmp/with-rpath" $(pkg-config --cflags --libs orppanel-headless) \
  -Wl,-rpath,"$libdir" || fail "the pkg-config consumer did not build"
[ "$("$tmp/with-rpath")" = ok ] || fail "the pkg-config consumer (rpath) did not run"
# shellcheck disable=SC2046
c++ -std=c++17 "$consumer/consumer.cpp" -o "$tmp/without-rpath" $(pkg-config --cflags --libs orppanel-headless) ||
  fail "the pkg-config consumer did not build"
[ "$(LD_LIBRARY_PATH="$libdir" "$tmp/without-rpath")" = ok ] || fail "the pkg-config consumer (LD_LIBRARY_PATH) did not run"
echo "install test: find_package and pkg-config consumers built and ran"
