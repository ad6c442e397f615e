# Sourced by the run and test scripts: a wine prefix kept in a build directory and a private
# Xvfb display, both cleaned up by orp_wine_stop (the scripts call it from an EXIT trap).
#
#   orp_wine_start <build-dir>   sets WINEPREFIX, WINEDEBUG, DISPLAY; starts Xvfb and wineserver
#   orp_wine_stop                stops the wineserver and the Xvfb that orp_wine_start started

ORP_XVFB_PID=""

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
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wineserver -w
    # Windows with frames on a virtual desktop, and the fonts captions and dialogs need.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w
    touch "$WINEPREFIX/.orp-ready"
  fi
}

orp_wine_start() {
  local build_dir
  build_dir=$(cd "$1" && pwd)
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
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

orp_wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$ORP_XVFB_PID" ]; then
    kill "$ORP_XVFB_PID" >/dev/null 2>&1 || true
    wait "$ORP_XVFB_PID" 2>/dev/null || true
    ORP_XVFB_PID=""
  fi
}
