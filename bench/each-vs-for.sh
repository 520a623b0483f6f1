#!/usr/bin/env bash
# `quillon-cli each` (--jobs 1 and the default) halving copies of one large JPEG, against a
# `for %f in (photo*.jpg) do convert ...` loop typed into the same prefix's cmd, with the
# Wine server running throughout.
# Run from the repository after `cmake --build --preset windows`:
#   bench/each-vs-for.sh [COPIES] [WIDTHxHEIGHT]
set -euo pipefail
copies=${1:-100}
size=${2:-3000x2000}
name=each-vs-for
# shellcheck source=bench/wine-bench.sh
. "$(dirname "$0")/wine-bench.sh"

mkdir "$work/pictures"
convert -size "$size" plasma:fractal -seed 7 "$work/photo.jpg"
for ((i = 1; i <= copies; i++)); do cp "$work/photo.jpg" "$work/pictures/photo$i.jpg"; done
# The halved size is written out: on the interpreter's command line a "%" would be read as
# the start of a variable.
half=$(awk -F x '{ printf "%dx%d", $1 / 2, $2 / 2 }' <<<"$size")
printf '<script args="1" name="Half size">\r\nconvert $NAME.$EXT -resize %s half_$NAME.jpg\r\n</script>\r\n' \
  "$half" >"$work/half.xml"
win() { echo "Z:${1//\//\\}"; }
now() { date +%s%N; }
count() { find "$work/pictures" -name 'half_*' | wc -l; }
clean() { rm -f "$work"/pictures/half_*; }

clean
start=$(now)
# Typed on the interpreter's command line; "photo*" keeps the loop off its own outputs.
(cd "$work/pictures" && wine cmd /c "for %f in (photo*.jpg) do convert %f -resize $half half_%f" \
  >"$work/for.out" 2>&1)
for_ns=$(($(now) - start))
[ "$(count)" -eq "$copies" ] || { echo "each-vs-for: the for loop made $(count) pictures" >&2; exit 1; }

measure() {
  clean
  local start=$(now)
  wine "$cli" each "$@" "$(win "$work/half.xml")" "$(win "$work/pictures")" >"$work/each.out" 2>&1
  local took=$(($(now) - start))
  [ "$(count)" -eq "$copies" ] || { echo "each-vs-for: each $* made $(count) pictures" >&2; cat "$work/each.out" >&2; exit 1; }
  echo "$took"
}
one_ns=$(measure --jobs 1)
all_ns=$(measure)
awk -v f="$for_ns" -v o="$one_ns" -v a="$all_ns" -v n="$copies" -v s="$size" -v c="$(nproc)" 'BEGIN {
  printf "%d copies of a %s JPEG halved, %d processors\n", n, s, c
  printf "for loop in cmd:             %.1f s\n", f / 1e9
  printf "quillon-cli each --jobs 1:   %.1f s  (%.2f x the loop)\n", o / 1e9, o / f
  printf "quillon-cli each (default):  %.1f s  (%.2f x the loop)\n", a / 1e9, a / f
}'
