#!/usr/bin/env bash
# Runs the benchmarks under Wine and prints their figures: toolbar files,
# then the Explorer's search against a bare walk of the same folder tree.
# With "leaks", runs the cycles of a toolbar's use instead and prints what
# stays alive; with "load", starts Lintel and sends it a burst of button
# hand-overs, printing what came of them.
#   scripts/run-bench.sh BUILD_DIR [iterations]
#   scripts/run-bench.sh BUILD_DIR leaks [cycles]
#   scripts/run-bench.sh BUILD_DIR load [messages]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/wine-session.sh"
build=$(lintel_runnable_build "$(cd "${1:-$here/build/i686}" && pwd)")
wine_session_start "$build/../wineprefix-bench"
trap wine_session_stop EXIT
if [ "${2:-}" = leaks ]; then
  wine "$build/bin/leak_cycles.exe" "${3:-1000}"
  exit
fi
if [ "${2:-}" = load ]; then
  # Lintel goes with the session when the script ends.
  wine "$build/bin/Lintel.exe" &
  wine "$build/bin/add_button_burst.exe" "${3:-1000}"
  exit
fi
wine "$build/bin/bench_toolbar.exe" "${2:-10}"
wine "$build/bin/bench_explorer.exe"
