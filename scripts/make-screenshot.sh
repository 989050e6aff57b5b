#!/usr/bin/env bash
# Takes the README's picture: Lintel under Wine with the sample toolbar, on a
# virtual desktop with its taskbar, on a private screen.
#   scripts/make-screenshot.sh BUILD_DIR OUTPUT.png
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/wine-session.sh"
build=$(lintel_runnable_build "$(cd "${1:-$here/build/x86_64}" && pwd)")
out=$(realpath -m "${2:-$here/docs/screenshot.png}")
unset LINTEL_USE_DISPLAY
# Always the private screen, whatever display the caller has.
unset DISPLAY
wine_session_start "$build/../wineprefix-shot" fresh
trap wine_session_stop EXIT

key='HKCU\Software\Corvane\Lintel\Current'
wine reg add 'HKCR\.exe' /ve /d exefile /f </dev/null >/dev/null 2>&1
sample_unix="$build/../sample/Sample.ltl"
mkdir -p "$(dirname "$sample_unix")"
sample=$(winepath -w "$sample_unix")
wine "$build/bin/ltltool.exe" sample "$sample" </dev/null >/dev/null 2>&1
wine reg add "$key" /v NumToolbars /t REG_DWORD /d 1 /f </dev/null >/dev/null 2>&1
wine reg add "$key" /v Toolbar01 /d "$sample" /f </dev/null >/dev/null 2>&1
wine reg add "$key" /v ShowTips /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1

exe=$(winepath -w "$build/bin/Lintel.exe")
wine explorer /desktop=Lintel,640x400 "$exe" </dev/null >/dev/null 2>&1 &
# The toolbar and the tray icon are there once the desktop has settled.
sleep "${LINTEL_SCREENSHOT_DELAY:-8}"
mkdir -p "$(dirname "$out")"
import -display "$DISPLAY" -window root -crop 640x400+0+0 +repage "$out"
echo "Screenshot: $out"
