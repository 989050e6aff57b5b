#!/usr/bin/env bash
# CTest's way into Wine: runs one test program under Wine, and starts it once
# more when Wine failed to start it at all.
#
# A full run once saw Wine end a test program with a failure 20 ms after it
# was called, with not a line printed, while the same test then passed alone
# 300 times in a row. A test program prints before its first test begins, so
# a failure that printed nothing within the first second is Wine's start
# failing, not a test's result. Each such restart is told on stderr and in
# the run's log ($LINTEL_WINE_RESTARTS), which the test script shows at the
# end; a second failure stands.
set -u

for attempt in 1 2; do
  out=$(mktemp)
  err=$(mktemp)
  started=$(date +%s%N)
  # Both streams pass straight through, so that what a test prints before
  # CTest stops it is kept; a copy of each tells whether anything came.
  wine "$@" 2> >(tee "$err" >&2) | tee "$out"
  rc=${PIPESTATUS[0]}
  elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
  printed=$(stat -c %s "$out")
  rm -f "$out"
  if [ "$rc" = 0 ] || [ "$printed" != 0 ] || [ "$elapsed" -ge 1000 ] || [ "$attempt" = 2 ]; then
    rm -f "$err"
    exit "$rc"
  fi
  sleep 0.2   # the copy of the error stream may still be on its way
  said=$(head -c 400 "$err" | tr '\n' ' ')
  rm -f "$err"
  note="Wine ended $(basename "$1") with exit code $rc after $elapsed ms, printing nothing${said:+ but \"$said\" on stderr}; started again"
  echo "wine-test: $note" >&2
  if [ -n "${LINTEL_WINE_RESTARTS:-}" ]; then
    echo "$note: $*" >> "$LINTEL_WINE_RESTARTS"
  fi
done
