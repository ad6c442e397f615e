#!/usr/bin/env bash
# Makes the release archive a Windows firmware developer takes: dist/orppanel-<version>.zip
# with both DLLs, the headers (the host kit included), the import libraries for MSVC and MinGW
# hosts of each width, Windows builds of the tools (orp-settings in both widths), the demo host
# and the kit example host with their sources, the demo work directory, and the docs.
#
#   scripts/package.sh              version 1.0.0 (the panel's version reply), or $ORP_VERSION
#   scripts/test-package.sh         unpacks it into an empty folder and builds and runs a host
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
version=${ORP_VERSION:-1.0.0}
jobs=${ORP_JOBS:-2}
name=orppanel-$version

cmake -S . -B build >/dev/null
cmake --build build -j"$jobs" --target orp-lcdtool orp-designtool
for width in 32 64; do
  if [ $width = 32 ]; then dir=build-win; arch=i686; else dir=build-win64; arch=x86_64; fi
  cmake -S . -B $dir -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$arch.cmake -DORP_WERROR=ON >/dev/null
  targets=(orppanel orppanel_importlib orp-settings)
  [ $width = 32 ] && targets+=(orp_demo_host orp_kit_host orp-lcdtool orp-designtool)
  cmake --build $dir -j"$jobs" --target "${targets[@]}"
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
top=$stage/$name
mkdir -p "$top"/{bin/x86,bin/x64,lib/x86,lib/x64,include,examples/demo_host,examples/kit_host,docs}
cp build-win/bin/orppanel.dll build-win/bin/orp_demo_host.exe build-win/bin/orp_kit_host.exe "$top/bin/x86/"
cp build-win/tools/orp-lcdtool.exe build-win/tools/orp-designtool.exe build-win/tools/orp-settings.exe "$top/bin/x86/"
cp build-win64/bin/orppanel.dll build-win64/tools/orp-settings.exe "$top/bin/x64/"
cp build-win/lib/orppanel.lib build-win/lib/liborppanel.dll.a "$top/lib/x86/"
cp build-win64/lib/orppanel.lib build-win64/lib/liborppanel.dll.a "$top/lib/x64/"
cp include/orppanel.h include/orppanel_host.h "$top/include/"
cp examples/demo_host/demo_host.cpp examples/demo_host/demo_device.h "$top/examples/demo_host/"
cp examples/kit_host/kit_host.cpp "$top/examples/kit_host/"
cp docs/*.md "$top/docs/"
cp README.md "$top/"
python3 samples/make_demo_workdir.py "$top/demo" --designtool build/tools/orp-designtool \
  --lcdtool build/tools/orp-lcdtool >/dev/null
if [ -e build-win/tools/orp-target.exe ]; then
  cp build-win/tools/orp-target.exe "$top/bin/x86/"
else
  echo "package: orp-target has no Windows build (it uses POSIX serial ports and sockets); not in the archive"
fi
cat > "$top/README-WINDOWS.txt" <<TXT
ORPpanel $version

bin\\x86\\orppanel.dll      the panel for 32-bit hosts (the demo and tools are 32-bit)
bin\\x64\\orppanel.dll      the panel for 64-bit hosts
lib\\x86, lib\\x64          import libraries: orppanel.lib (MSVC, also MinGW), liborppanel.dll.a (MinGW)
include\\orppanel.h         the six functions; include\\orppanel_host.h the host kit (C++17)
bin\\x86, bin\\x64\\orp-settings.exe   shows and sets the panel's settings (work directory, design)
examples\\                  the demo host and the kit example (docs\\writing-a-host.md)
demo\\                      a work directory with the demo design (demo\\ORPDesigns\\demo.orp,
                           German: demo_de.orp)

Start here: docs\\getting-started-windows.md (build lines for MSVC and MinGW, settings).
Build a host with MinGW:  g++ -std=c++17 -Iinclude examples\\kit_host\\kit_host.cpp -Llib\\x86 -lorppanel -static
Put orppanel.dll next to the host's .exe. Let the panel open the demo design:
  bin\\x86\\orp-settings set WrkDir=demo FileCfg=demo\\ORPDesigns\\demo.orp
TXT
mkdir -p dist
rm -f "dist/$name.zip"
(cd "$stage" && zip -qr -X "$root/dist/$name.zip" "$name")
echo "package: dist/$name.zip"
