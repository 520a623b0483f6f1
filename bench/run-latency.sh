#!/usr/bin/env bash
# Measures how quickly Quillon.exe answers a message from another process while a script runs
# for about five seconds, against the same round trip while it is idle, and how long a resize
# of the window takes with four 24-megapixel pictures in its slots.
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
# Four 24-megapixel photograph-like pictures (plasma) for the resize round trips.
pictures=$(mktemp -d)
trap 'rm -f "$out"; rm -rf "$pictures"' EXIT
convert -seed 1 -size 6000x4000 plasma: -quality 90 "$pictures/big1.jpg"
for i in 2 3 4; do cp "$pictures/big1.jpg" "$pictures/big$i.jpg"; done
win() { echo "Z:${1//\//\\}"; }
# The output goes through a file: a pipe would stay open as long as the Wine server runs.
"$root/tools/wine-run" "$build/wineprefix" "$bench" "$(win "$exe")" \
  "$(win "$pictures/big1.jpg")" "$(win "$pictures/big2.jpg")" "$(win "$pictures/big3.jpg")" \
  "$(win "$pictures/big4.jpg")" >"$out" 2>&1
cat "$out"
