#!/usr/bin/env bash
# Runs the benchmarks under Wine and prints their figures: toolbar files,
# then the Explorer's search against a bare walk of the same folder tree.
#   scripts/run-bench.sh BUILD_DIR [iterations]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/wine-session.sh"
build=$(lintel_runnable_build "$(cd "${1:-$here/build/i686}" && pwd)")
wine_session_start "$build/../wineprefix-bench"
trap wine_session_stop EXIT
wine "$build/bin/bench_toolbar.exe" "${2:-10}"
wine "$build/bin/bench_explorer.exe"
