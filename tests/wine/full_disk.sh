#!/bin/bash
# Runs the Wine test of failed saves (FailedSave*) with a 256 KiB tmpfs of its own, named to the
# test in ORP_FULL_DISK as a Windows path, and unmounted and removed on exit, also after a
# failure or a timeout. Mounting needs root; without it the test runs without the full disk.
#
#   full_disk.sh <directory of orp_wine_tests.exe> [gtest filter]
set -u
exe_dir=$1
filter=${2:-FailedSave*}
run_tests() {
  (cd "$exe_dir" && timeout 600 "${ORP_WINE:-wine}" orp_wine_tests.exe --gtest_color=no --gtest_filter="$filter")
}
[ -n "${WINEPREFIX:-}" ] || { echo "full disk: WINEPREFIX is not set (run through scripts/test.sh)"; exit 1; }
# Lower case: the panel lower-cases the path of the design it opens.
mnt=/tmp/orp-full-$$
trap 'umount "$mnt" 2>/dev/null || umount -l "$mnt" 2>/dev/null; rmdir "$mnt" 2>/dev/null' EXIT
trap 'exit 1' INT TERM
if [ "$(id -u)" != 0 ] || ! mkdir -p "$mnt" || ! mount -t tmpfs -o size=256k,mode=0777 orp-full "$mnt"; then
  echo "full disk: cannot mount a tmpfs (needs root): the save into a full disk is not tested"
  run_tests
  exit $?
fi
# Wine's drive Z: is the root of the file system.
export ORP_FULL_DISK="Z:${mnt//\//\\}"
run_tests
