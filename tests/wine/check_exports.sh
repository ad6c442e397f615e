#!/bin/sh
# Checks that orppanel.dll exports exactly the six host functions with their ordinals.
set -eu
dll=$1
expected='1 ?BindLcdDll@@YAXXZ
2 ?CheckRx@@YAXXZ
3 ?Close@@YAXXZ
4 ?ReceiveFromApp@@YAXPAEI@Z
5 ?SetOptions@@YAKPAUstOrpOpts@@@Z
6 ?SetRxTarget@@YAXP6AXXZPAE@Z'
# objdump -p lists the names as "[ i] name" with i = ordinal - base (the base is 1).
dump=$(i686-w64-mingw32-objdump -p "$dll")
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
echo "export table OK"
