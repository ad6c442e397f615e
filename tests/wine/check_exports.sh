#!/bin/sh
# Checks that orppanel.dll exports exactly the six host functions with their ordinals, under the
# names an MSVC host of the DLL's width imports.
#   check_exports.sh <orppanel.dll> <32|64>
set -eu
dll=$1
width=$2
if [ "$width" = 64 ]; then
  objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64; p=PEA
else
  objdump=i686-w64-mingw32-objdump; format=pei-i386; p=PA
fi
expected="1 ?BindLcdDll@@YAXXZ
2 ?CheckRx@@YAXXZ
3 ?Close@@YAXXZ
4 ?ReceiveFromApp@@YAX${p}EI@Z
5 ?SetOptions@@YAK${p}UstOrpOpts@@@Z
6 ?SetRxTarget@@YAXP6AXXZ${p}E@Z"
dump=$($objdump -p "$dll")
if ! printf '%s\n' "$dump" | grep -q "file format $format"; then
  echo "$dll is not a $width-bit DLL"; exit 1
fi
# objdump -p lists the names as "[ i] name" with i = ordinal - base (the base is 1).
actual=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\] \(.*\)$/\1 \2/p' |
  awk '{ print $1 + 1, $2 }' | sort -n)
addresses=$(printf '%s\n' "$dump" | grep -c 'Export RVA' || true)
if [ "$addresses" != 6 ]; then
  echo "expected 6 entries in the export address table, found $addresses"; exit 1
fi
if [ "$actual" != "$expected" ]; then
  echo "unexpected export table:"; echo "$actual"; exit 1
fi
echo "export table of the $width-bit DLL OK"
