#!/usr/bin/env bash
# The release archive on its own: makes dist/orppanel-<version>.zip, unpacks it into an empty folder,
# builds the kit example host from the archive's header and import libraries alone (MinGW,
# 32-bit and 64-bit), points the panel at the demo design with the archive's orp-settings, runs
# the 32-bit host under Wine with the archive's DLL and checks that it talked to the panel.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
version=${ORP_VERSION:-1.0.0}
scripts/package.sh  # incremental: builds only what changed
. "$root/scripts/wine-env.sh"

work=$(mktemp -d)
trap 'orp_wine_stop; rm -rf "$work"' EXIT
unzip -q "dist/orppanel-$version.zip" -d "$work"
pkg=$work/orppanel-$version
for f in bin/x86/orppanel.dll bin/x64/orppanel.dll lib/x86/orppanel.lib lib/x64/liborppanel.dll.a \
         include/orppanel_host.h bin/x86/orp-lcdtool.exe bin/x86/orp-settings.exe bin/x64/orp-settings.exe \
         demo/ORPDesigns/demo.orp docs/writing-a-host.md docs/getting-started-windows.md; do
  [ -f "$pkg/$f" ] || { echo "test-package: $f is missing from the archive" >&2; exit 1; }
done

host=$work/host
mkdir -p "$host"
i686-w64-mingw32-g++-posix -std=c++17 -O1 -Wall -Werror -I"$pkg/include" \
  "$pkg/examples/kit_host/kit_host.cpp" -L"$pkg/lib/x86" -lorppanel \
  -static -static-libgcc -static-libstdc++ -o "$host/kit_host.exe"
cp "$pkg/bin/x86/orppanel.dll" "$host/"
# The 64-bit import library links a 64-bit host too.
x86_64-w64-mingw32-g++-posix -std=c++17 -O1 -Wall -Werror -I"$pkg/include" \
  "$pkg/examples/kit_host/kit_host.cpp" -L"$pkg/lib/x64" -lorppanel \
  -static -static-libgcc -static-libstdc++ -o "$host/kit_host64.exe"

# The 32-bit host with the 32-bit DLL where 32-bit programs run, else the 64-bit pair.
if ! orp_wine32_unusable >/dev/null; then
  orp_wine_start build-win 32
  run_dir=$host; exe=kit_host.exe
else
  orp_wine_start build-win64 64
  run_dir=$host/x64; exe=kit_host64.exe
  mkdir -p "$run_dir" && cp "$host/kit_host64.exe" "$pkg/bin/x64/orppanel.dll" "$run_dir/"
fi
# The archive's settings command points the panel at the demo design, as a new user does.
width_dir=x64; [ "$exe" = kit_host.exe ] && width_dir=x86
set_out=$(cd "$pkg" && "$ORP_WINE" "bin/$width_dir/orp-settings.exe" set WrkDir=demo \
  'FileCfg=demo\ORPDesigns\demo.orp' 2>&1 </dev/null | tr -d '\r')
grep -q '^FileCfg=.*\\demo\\ORPDesigns\\demo.orp$' <<<"$set_out" || {
  echo "$set_out"; echo "test-package: orp-settings did not set the demo design" >&2; exit 1; }
out=$(cd "$run_dir" && timeout 120 "$ORP_WINE" "$exe" 1 2>/dev/null </dev/null | tr -d '\r')
echo "$out"
grep -q "^Version 1.0.0$" <<<"$out" || { echo "test-package: the host got no version reply" >&2; exit 1; }
echo "test-package: a host built from the archive alone runs ($exe)"
