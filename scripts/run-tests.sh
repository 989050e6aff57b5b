#!/usr/bin/env bash
# Runs the test suites of the given build folders under Wine, on a private X
# display, in a Wine prefix made afresh for the run.
#   scripts/run-tests.sh BUILD_DIR [BUILD_DIR ...]
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/wine-session.sh"

[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [BUILD_DIR ...]" >&2; exit 2; }
first_build=$(cd "$1" && pwd)
prefix="$first_build/../wineprefix-test"

started=$(date +%s)
wine_session_start "$prefix" fresh
trap wine_session_stop EXIT
echo "Wine prefix ready in $(( $(date +%s) - started )) s"

status=0
for build in "$@"; do
  build=$(cd "$build" && pwd)
  if [ "$LINTEL_WINE32" = 0 ] && grep -q 'toolchain-i686' "$build/CMakeCache.txt" 2>/dev/null; then
    echo "=== Tests of $build left out: this kernel runs no 32-bit code, so Wine cannot start 32-bit programs (built, not run)"
    continue
  fi
  echo "=== Tests of $build"
  shots="$build/screenshots"
  mkdir -p "$shots"
  export LINTEL_SCREENSHOTS_WIN=$(winepath -w "$shots" 2>/dev/null)
  export LINTEL_WINE_RESTARTS="$build/Testing/wine-restarts.log"
  mkdir -p "$build/Testing" && : > "$LINTEL_WINE_RESTARTS"
  (cd "$build" && ctest --output-on-failure --timeout 180) || status=1
  if [ -s "$LINTEL_WINE_RESTARTS" ]; then
    echo "=== Test programs Wine failed to start and that were started again:"
    cat "$LINTEL_WINE_RESTARTS"
  fi
  # The driver saves bitmaps; PNG is what people and tools look at.
  for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
done
exit $status
