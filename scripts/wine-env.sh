# Sourced by the run and test scripts: a wine prefix kept in a build directory and a private
# Xvfb display, both cleaned up by orp_wine_stop (the scripts call it from an EXIT trap).
#
#   orp_wine_start <build-dir> [32|64]  sets WINEPREFIX, WINEDEBUG, DISPLAY, WINESERVER and
#                                       ORP_WINE (the loader to run programs with); starts Xvfb
#                                       and the wineserver. The width defaults to the build's.
#   orp_wine <program> [args]           runs a Windows program with the loader of that width
#   orp_wine_stop                       stops the wineserver and the Xvfb orp_wine_start started
#   orp_wine_demo_dir <dir>             makes <dir> the prefix's C:\ORPpanel\demo and prints that
#                                       path (after orp_wine_start)
#   orp_can_run_32bit                   true if this machine can run 32-bit Linux programs
#   orp_wine32_unusable                 prints why 32-bit Windows programs cannot run here (and
#                                       succeeds), or fails quietly where wine32 can run them
#
# /usr/bin/wine picks wine32 whenever it is installed, even on a kernel that cannot run it, so
# the loaders and servers of each width are called by their own paths.

ORP_XVFB_PID=""

orp_can_run_32bit() {
  # Tries a tiny static i386 program that only exits with code 42 (no libraries needed).
  local probe rc
  probe=$(mktemp "${TMPDIR:-/tmp}/orp-i386-probe.XXXXXX")
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >"$probe"
  chmod +x "$probe"
  rc=0
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  [ "$rc" -eq 42 ]
}

orp_wine32_unusable() {
  if [ -n "${ORP_NO_32BIT:-}" ]; then
    echo "ORP_NO_32BIT is set"
  elif ! orp_can_run_32bit; then
    echo "a tiny i386 test program did not start: the kernel runs no 32-bit programs"
  elif [ ! -x /usr/lib/wine/wine ]; then
    echo "wine32 is not installed: scripts/setup.sh could not install it"
  else
    return 1
  fi
}

orp_wine() { "$ORP_WINE" "$@"; }

orp_wine_demo_dir() {
  # The panel's title shows the design's path: pictures of a demo should show this fixed one,
  # not where the build happens to live.
  mkdir -p "$WINEPREFIX/drive_c/ORPpanel"
  ln -sfn "$(cd "$1" && pwd)" "$WINEPREFIX/drive_c/ORPpanel/demo"
  echo 'C:\ORPpanel\demo'
}

orp_free_display() {
  local n
  for n in $(seq 90 160); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then echo "$n"; return 0; fi
  done
  return 1
}

orp_wine_prefix_init() {
  # A new prefix takes several seconds: create it once per build directory.
  if [ ! -f "$WINEPREFIX/.orp-ready" ]; then
    echo "wine: creating the prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    orp_wine wineboot -i >/dev/null 2>&1 </dev/null || true
    "$WINESERVER" -w
    # Windows with frames on a virtual desktop, and the fonts captions and dialogs need.
    orp_wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
    orp_wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    "$WINESERVER" -w
    touch "$WINEPREFIX/.orp-ready"
  fi
}

orp_wine_start() {
  local build_dir width
  build_dir=$(cd "$1" && pwd)
  width=${2:-}
  if [ -z "$width" ]; then
    if grep -q 'x86_64' "$build_dir/CMakeCache.txt" 2>/dev/null && \
       grep -q '^CMAKE_TOOLCHAIN_FILE.*x86_64' "$build_dir/CMakeCache.txt"; then width=64; else width=32; fi
  fi
  if [ "$width" = 64 ]; then
    export ORP_WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64
  else
    export ORP_WINE=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 WINEARCH=win32
  fi
  export WINELOADER=$ORP_WINE
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -z "${ORP_USE_DISPLAY:-}" ]; then
    local n
    n=$(orp_free_display)
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    ORP_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
  fi
  orp_wine_prefix_init
  # Start the server outside any pipe a test runner reads, so that runner does not wait for it.
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  orp_wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

orp_wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then "${WINESERVER:-wineserver}" -k >/dev/null 2>&1 || true; fi
  if [ -n "$ORP_XVFB_PID" ]; then
    kill "$ORP_XVFB_PID" >/dev/null 2>&1 || true
    wait "$ORP_XVFB_PID" 2>/dev/null || true
    ORP_XVFB_PID=""
  fi
}
