#!/usr/bin/env bash
# Measures a 12-megapixel WebP dropped into a slot (FillSlot to the drawn preview, through
# ImageMagick's reduced copy) against ImageMagick's own -thumbnail of it to a file, run alone,
# and a 12-megapixel JPEG dropped (GDI+ only) against GDI+ decoding it whole.
# Run from the repository after `cmake --build --preset windows`:
#   bench/reduced-fill.sh [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/tools/with-display" "$0" "$@"
fi
build=$root/build/windows
bench=$build/bench/quillon_reduced_bench.exe
[ -f "$bench" ] || { echo "reduced-fill: build the windows preset first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '<script args="1" name="One picture">\r\nconvert $NAME.$EXT out.png\r\n</script>\r\n' \
  >"$work/one.xml"
# A photograph-like 4000 x 3000 picture (plasma), as WebP and as JPEG.
convert -seed 1 -size 4000x3000 plasma: -quality 90 "$work/big.webp"
convert "$work/big.webp" -quality 90 "$work/big.jpg"

win() { echo "Z:${1//\//\\}"; }
"$root/tools/wine-run" "$build/wineprefix" "$bench" "$(win "$work")" \
  "$(win "$work/big.webp")" "$(win "$work/big.jpg")" "${1:-5}"
