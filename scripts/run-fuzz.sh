#!/usr/bin/env bash
# The long run of damaged toolbar files: builds the reader in a build of its
# own whose undefined behaviour traps (MinGW has no address sanitizer), then
# reads the cases under Wine.  A failing case stops the run and is kept in
# BUILD_ROOT/x86_64-ubsan/fuzz-failures for the suite's fixtures.
#   scripts/run-fuzz.sh BUILD_ROOT [cases] [first case]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=$(mkdir -p "${1:-$here/build}" && cd "${1:-$here/build}" && pwd)
cases=${2:-3000}
first=${3:-0}
ubsan=$root/x86_64-ubsan
flags="-fsanitize=undefined -fsanitize-undefined-trap-on-error"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f "$ubsan/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$ubsan" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" "${launcher[@]}"
fi
cmake --build "$ubsan" -j"${JOBS:-2}" --target fuzz_reader
. "$here/scripts/wine-session.sh"
wine_session_start "$root/wineprefix-fuzz"
trap wine_session_stop EXIT
mkdir -p "$ubsan/fuzz-failures"
wine "$ubsan/bin/fuzz_reader.exe" "$cases" "$first" "$(winepath -w "$ubsan/fuzz-failures")"
