#!/usr/bin/env bash
# `quillon-cli each` (--jobs 1 and the default) halving copies of one large JPEG, against a
# batch file of one `convert` per picture run by the same prefix's cmd, with the Wine server
# running throughout; then `each --existing skip` over a folder of SKIPPED pictures that all
# have their output, and a single `quillon-cli run` alone and while a set runs beside it.
# Run from the repository after `cmake --build --preset windows`:
#   bench/each-vs-for.sh [COPIES] [WIDTHxHEIGHT] [SKIPPED]
set -euo pipefail
copies=${1:-100}
size=${2:-3000x2000}
skipped=${3:-1000}
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
for ((i = 1; i <= copies; i++)); do
  printf 'convert photo%d.jpg -resize %s half_photo%d.jpg\r\n' "$i" "$half" "$i"
done >"$work/pictures/loop.bat"
start=$(now)
(cd "$work/pictures" && wine cmd /c loop.bat >"$work/for.out" 2>&1)
for_ns=$(($(now) - start))
rm "$work/pictures/loop.bat"
[ "$(count)" -eq "$copies" ] || { echo "each-vs-for: the batch file made $(count) pictures" >&2; exit 1; }

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

# A folder of small pictures that all have a current output: every one is skipped.
mkdir "$work/done"
convert -size 64x48 xc:gray "$work/small.jpg"
for ((i = 1; i <= skipped; i++)); do cp "$work/small.jpg" "$work/done/p$i.jpg"; done
sleep 1
for ((i = 1; i <= skipped; i++)); do cp "$work/small.jpg" "$work/done/half_p$i.jpg"; done
start=$(now)
wine "$cli" each --existing skip "$(win "$work/half.xml")" "$(win "$work/done")" >"$work/skip.out" 2>&1
skip_ns=$(($(now) - start))
[ "$(grep -c '^skipped ' "$work/skip.out")" -eq "$skipped" ] || { echo "each-vs-for: not every picture was skipped" >&2; cat "$work/skip.out" >&2; exit 1; }

# One picture run alone, then while a set runs in another folder.
single() {
  local start=$(now)
  wine "$cli" run "$(win "$work/half.xml")" "$(win "$work/photo.jpg")" >"$work/run.out" 2>&1
  echo $(($(now) - start))
}
alone_ns=$(single)
clean
wine "$cli" each "$(win "$work/half.xml")" "$(win "$work/pictures")" >"$work/beside.out" 2>&1 &
set_pid=$!
sleep 3
beside_ns=$(single)
kill -0 "$set_pid" 2>/dev/null && still="the set was still running" || still="the set had ended: measure with more copies"
wait "$set_pid" || true

awk -v f="$for_ns" -v o="$one_ns" -v a="$all_ns" -v n="$copies" -v s="$size" -v c="$(nproc)" \
  -v k="$skip_ns" -v m="$skipped" -v l="$alone_ns" -v b="$beside_ns" -v w="$still" 'BEGIN {
  printf "%d copies of a %s JPEG halved, %d processors\n", n, s, c
  printf "batch file of converts:      %.1f s\n", f / 1e9
  printf "quillon-cli each --jobs 1:   %.1f s  (%.2f x the batch file)\n", o / 1e9, o / f
  printf "quillon-cli each (default):  %.1f s  (%.2f x the batch file)\n", a / 1e9, a / f
  printf "each --existing skip, %d pictures with their output: %.2f s\n", m, k / 1e9
  printf "single run alone:            %.2f s\n", l / 1e9
  printf "single run beside a set:     %.2f s  (%.2f x alone; %s)\n", b / 1e9, b / l, w
}'
