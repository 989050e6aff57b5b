# Sourced by the run and test scripts: a private Wine prefix on a private X
# display.  Never touches the user's own ~/.wine.
#
#   wine_session_start PREFIX_DIR [fresh]   creates (or reuses) the prefix, starts
#                                           Xvfb when there is no display to use,
#                                           and starts the wine server once
#   wine_session_stop                       shuts the server down, then Xvfb

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts while the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

LINTEL_XVFB_PID=""

wine_session_start() {
  local prefix=$1 fresh=${2:-}
  export WINEPREFIX=$prefix

  if [ -z "${LINTEL_USE_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    local n
    for n in $(seq 90 140); do
      [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
      Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      LINTEL_XVFB_PID=$!
      export DISPLAY=:$n
      break
    done
    local waited=0
    until [ -e /tmp/.X11-unix/X${DISPLAY#:} ] || [ $waited -ge 100 ]; do sleep 0.1; waited=$((waited + 1)); done
  fi

  if [ -n "$fresh" ] && [ -d "$prefix" ]; then
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
  fi
  if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
    # Wine draws caption buttons as letters until its TrueType fonts are in
    # the prefix's Fonts folder.
    cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    # One virtual desktop for every program: it has a taskbar with a
    # notification area (so the tray icon exists), and without a window
    # manager it spares each hidden or destroyed window a two-second stall.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
    wineserver -w
  fi

  # Start the server and Wine's background services once, detached from our
  # output: services started by a test would inherit CTest's pipe and keep
  # CTest waiting for ever.
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$LINTEL_XVFB_PID" ]; then
    kill "$LINTEL_XVFB_PID" 2>/dev/null || true
    wait "$LINTEL_XVFB_PID" 2>/dev/null || true
    LINTEL_XVFB_PID=""
  fi
}
