#!/usr/bin/env bash
# Measures the live preview with a 24-megapixel JPEG in the slot of the sepia starter script:
# a setting changed to its preview drawn, the first preview after the JPEG is dropped, and
# the window's message round trip while previews run back to back, and the memory four of them
# with their reduced copies take in a four-picture script.
# Run from the repository after `cmake --build --preset windows`:
#   bench/live-preview.sh [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/tools/with-display" "$0" "$@"
fi
build=$root/build/windows
bench=$build/bench/quillon_live_preview_bench.exe
[ -f "$bench" ] || { echo "live-preview: build the windows preset first" >&2; exit 1; }
work=$(mktemp -d)
out=$(mktemp)
trap 'rm -rf "$work" "$out"' EXIT
cp "$root/samples/1-sepia.xml" "$root/samples/4-contact-sheet.xml" "$work/"
# A photograph-like 6000 x 4000 picture (plasma), under a name of its own for every drop.
convert -seed 1 -size 6000x4000 plasma: -quality 90 "$work/big1.jpg"
for i in 2 3 4; do cp "$work/big1.jpg" "$work/big$i.jpg"; done
win() { echo "Z:${1//\//\\}"; }
# The output goes through a file: a pipe would stay open as long as the Wine server runs.
"$root/tools/wine-run" "$build/wineprefix" "$bench" "$(win "$work")" "${1:-5}" \
  "$(win "$work/big1.jpg")" "$(win "$work/big2.jpg")" "$(win "$work/big3.jpg")" \
  "$(win "$work/big4.jpg")" >"$out" 2>&1
cat "$out"
