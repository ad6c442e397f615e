#!/bin/bash
# Runs the Wine test that saves into a full file system: a tmpfs of 256 KiB mounted here for it
# alone (root only; without it the test skips and says why), named to the test in ORP_FULL_DISK
# as a Windows path, and unmounted and removed on exit, also after a failure or a timeout.
#
#   full_disk.sh <directory of orp_wine_tests.exe> [gtest filter]
set -u
exe_dir=$1
filter=${2:-FailedSave.IntoAFullFileSystem*}

run_tests() {
  (cd "$exe_dir" && timeout 600 "${ORP_WINE:-wine}" orp_wine_tests.exe --gtest_color=no --gtest_filter="$filter")
}
skip() {
  echo "full disk: $1: the test is skipped"
  ORP_FULL_DISK_SKIP="$1" run_tests
  exit $?
}

[ -n "${WINEPREFIX:-}" ] || { echo "full disk: WINEPREFIX is not set (run through scripts/test.sh)"; exit 1; }
[ "$(id -u)" = 0 ] || skip "not running as root (mounting a tmpfs needs it)"

# Lower case throughout: the panel lower-cases the path of the design it opens.
mnt=/tmp/orp-full-$$
cleanup() {
  umount "$mnt" 2>/dev/null || umount -l "$mnt" 2>/dev/null
  rmdir "$mnt" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 1' INT TERM
mkdir -p "$mnt" || skip "cannot create $mnt"
mount -t tmpfs -o size=256k,mode=0777 orp-full "$mnt" || skip "cannot mount a tmpfs"
# Wine's drive Z: is the root of the file system.
export ORP_FULL_DISK="Z:${mnt//\//\\}"
run_tests
