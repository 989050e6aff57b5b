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

# Some kernels run no 32-bit x86 code at all (built without IA32 emulation):
# Wine's 32-bit loader then fails with "Exec format error", and Debian's wine
# wrapper still picks it.  There only 64-bit Windows programs can run: the
# wrappers are shadowed by ones that start the 64-bit loader, and
# LINTEL_WINE32 tells the callers to leave out the 32-bit suites.
lintel_wine_loaders() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export LINTEL_WINE32=1
    return
  fi
  export LINTEL_WINE32=0
  local shim=${1:-/tmp}/wine64-only
  mkdir -p "$shim"
  local name
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$shim/$name"
    chmod +x "$shim/$name"
  done
  export WINELOADER=/usr/lib/wine/wine64
  case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
}

# The build to run a program from: the given one, or its 64-bit sibling
# (made when missing) where 32-bit programs cannot start.
lintel_runnable_build() {
  local build=$1 top
  lintel_wine_loaders "$(dirname "$build")"
  if [ "$LINTEL_WINE32" = 0 ] && grep -q 'toolchain-i686' "$build/CMakeCache.txt" 2>/dev/null; then
    top=$(cd "$(dirname "$0")/.." && pwd)
    echo "This kernel runs no 32-bit code: using the 64-bit build instead." >&2
    make -C "$top" build-x86_64 >&2
    build=$(cd "$(dirname "$build")/x86_64" && pwd)
  fi
  echo "$build"
}

wine_session_start() {
  local prefix=$1 fresh=${2:-}
  export WINEPREFIX=$prefix
  lintel_wine_loaders "$(dirname "$prefix")"

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
