#!/usr/bin/env bash
# Measures how quickly Quillon.exe answers a message from another process while a set of 60
# photos runs, against the same round trip while it is idle.
# Run from the repository after `cmake --build --preset windows`:
#   bench/set-latency.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ -n "${DISPLAY:-}" ] || exec "$root/tools/with-display" "$0" "$@"
build=$root/build/windows
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# The output goes through a file: a pipe would stay open as long as the Wine server runs.
QUILLON_EXE=$build/src/Quillon.exe QUILLON_TEST_PICTURES=$build/tests/test-pictures \
  "$root/tools/wine-run" "$build/wineprefix" "$build/bench/quillon_set_latency_bench.exe" >"$out" 2>&1
cat "$out"
