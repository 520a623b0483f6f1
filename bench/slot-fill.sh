#!/usr/bin/env bash
# Measures loading a 24-megapixel JPEG into a slot (FillSlot to the drawn preview) against
# GDI+ decoding it alone, the working set with four such pictures in the slots, a resize step
# with them (laid out and painted), and whether GDI objects, windows and handles come back
# after many layouts, fills and message boxes.
# Run from the repository after `cmake --build --preset windows`:
#   bench/slot-fill.sh [ROUNDS]
# QUILLON_SLOT_BENCH names another build of the bench (an older one, to compare against);
# it runs in this build's Wine prefix. QUILLON_SLOT_TYPE=heic (or another type GDI+ cannot
# read) fills the slots through ImageMagick's reduced copies instead: then the memory lines
# count, and the GDI+ decode lines, which cannot read the type, do not.
# QUILLON_SLOT_HIDE=1102,1103,1104 (control ids, or "all") hides those controls during the
# resize steps: what the step would cost with fewer child windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/tools/with-display" "$0" "$@"
fi
build=$root/build/windows
bench=${QUILLON_SLOT_BENCH:-$build/bench/quillon_slot_bench.exe}
[ -f "$bench" ] || { echo "slot-fill: build the windows preset first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '<script args="4" name="Four pictures">\r\nconvert a b c d out.png\r\n</script>\r\n' \
  >"$work/four.xml"
# A photograph-like 6000 x 4000 picture (plasma), in four files so that each slot decodes
# its own.
type=${QUILLON_SLOT_TYPE:-jpg}
convert -seed 1 -size 6000x4000 plasma: -quality 90 "$work/big1.$type"
for i in 2 3 4; do cp "$work/big1.$type" "$work/big$i.$type"; done
# The 1,000 fills of the resource count use a small picture, so that they take seconds.
convert -seed 2 -size 640x480 plasma: -quality 90 "$work/small.jpg"

win() { echo "Z:${1//\//\\}"; }
"$root/tools/wine-run" "$build/wineprefix" "$bench" "$(win "$work")" \
  "$(win "$work/big1.$type")" "$(win "$work/big2.$type")" "$(win "$work/big3.$type")" \
  "$(win "$work/big4.$type")" "${1:-5}" "$(win "$work/small.jpg")"
