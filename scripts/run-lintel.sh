#!/usr/bin/env bash
# Starts Lintel under Wine on a virtual desktop with a taskbar, so that its
# tray icon shows.  Uses a Wine prefix of its own under the build folder.
# Without a DISPLAY it runs on a private Xvfb screen and saves a screenshot.
#   scripts/run-lintel.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/wine-session.sh"
build=$(cd "${1:-$here/build/i686}" && pwd)

if [ -n "${DISPLAY:-}" ]; then export LINTEL_USE_DISPLAY=1; fi
wine_session_start "$build/../wineprefix-run"
trap wine_session_stop EXIT

# A first start would ask to create a toolbar; start as a returning user
# with no toolbars open and no tip window.
wine reg add 'HKCU\Software\Corvane\Lintel\Current' /v NumToolbars /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Corvane\Lintel\Current' /v ShowTips /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true

exe=$(winepath -w "$build/bin/Lintel.exe")
echo "Starting Lintel on display $DISPLAY (its icon is in the taskbar's notification area)."
if [ -n "${LINTEL_USE_DISPLAY:-}" ]; then
  wine explorer /desktop=Lintel,1024x768 "$exe"
else
  wine explorer /desktop=Lintel,1024x768 "$exe" &
  sleep 5
  import -display "$DISPLAY" -window root "$build/lintel-run.png" && echo "Screenshot: $build/lintel-run.png"
  echo "No DISPLAY was set: Lintel ran on a private screen. Set DISPLAY to see and use it."
  wineserver -k
fi
