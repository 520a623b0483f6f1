#!/usr/bin/env bash
# Measures how quickly Quillon.exe answers a message from another process while a script runs
# for about five seconds, against the same round trip while it is idle.
# Run from the repository after `cmake --build --preset windows`:
#   bench/run-latency.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/tools/with-display" "$0" "$@"
fi
build=$root/build/windows
bench=$build/bench/quillon_run_latency_bench.exe
[ -f "$bench" ] || { echo "run-latency: build the windows preset first" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
exe=$build/src/Quillon.exe
# The output goes through a file: a pipe would stay open as long as the Wine server runs.
"$root/tools/wine-run" "$build/wineprefix" "$bench" "Z:${exe//\//\\}" >"$out" 2>&1
cat "$out"
