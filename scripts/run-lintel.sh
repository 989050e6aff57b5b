#!/usr/bin/env bash
# Starts Lintel under Wine on a virtual desktop with a taskbar, so that its
# tray icon shows.  Uses a Wine prefix of its own under the build folder.
# Without a DISPLAY it runs on a private Xvfb screen and saves a screenshot.
#   scripts/run-lintel.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/wine-session.sh"
build=$(lintel_runnable_build "$(cd "${1:-$here/build/i686}" && pwd)")

if [ -n "${DISPLAY:-}" ]; then export LINTEL_USE_DISPLAY=1; fi
wine_session_start "$build/../wineprefix-run"
trap wine_session_stop EXIT

# A sample toolbar, opened at start as if it had been open at the last exit.
# A fresh Wine prefix knows no class for programs; Windows always does.
wine reg add 'HKCR\.exe' /ve /d exefile /f >/dev/null 2>&1 || true
sample_unix="$build/../sample/Sample.ltl"
mkdir -p "$(dirname "$sample_unix")"
sample=$(winepath -w "$sample_unix")
wine "$build/bin/ltltool.exe" sample "$sample" </dev/null >/dev/null 2>&1 || echo "(the sample toolbar could not be made)"
key='HKCU\Software\Corvane\Lintel\Current'
wine reg add "$key" /v NumToolbars /t REG_DWORD /d 1 /f >/dev/null 2>&1 || true
wine reg add "$key" /v Toolbar01 /d "$sample" /f >/dev/null 2>&1 || true
wine reg add "$key" /v ShowTips /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true

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
