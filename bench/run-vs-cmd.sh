#!/usr/bin/env bash
# Measures `quillon-cli run` of a small one-picture script against the same ImageMagick
# command given to the command interpreter directly (`cmd /c convert ...`), in the same
# Wine prefix with its server already running, alternating the two; and, to tell the cost of
# one more Wine process start from the rest, `quillon-cli list` of an empty folder.
# Run from the repository after `cmake --build --preset windows`:
#   bench/run-vs-cmd.sh [ROUNDS]
set -euo pipefail
rounds=${1:-10}
name=run-vs-cmd
# shellcheck source=bench/wine-bench.sh
. "$(dirname "$0")/wine-bench.sh"

convert -size 640x480 gradient:navy-gold "$work/photo.jpg"
printf '<script args="1" name="Half size">\r\nconvert $NAME.$EXT -resize 50%% half.png\r\n</script>\r\n' \
  >"$work/half.xml"
win() { echo "Z:${1//\//\\}"; }

now() { date +%s%N; }
mkdir "$work/empty"
quillon_total=0
cmd_total=0
list_total=0
for ((i = 0; i < rounds; i++)); do
  rm -f "$work/half.png"
  start=$(now)
  wine "$cli" run "$(win "$work/half.xml")" "$(win "$work/photo.jpg")" >"$work/cli.out" 2>&1
  quillon_total=$((quillon_total + $(now) - start))
  [ -f "$work/half.png" ] || { echo "run-vs-cmd: quillon-cli made no picture" >&2; cat "$work/cli.out" >&2; exit 1; }
  rm -f "$work/half.png"
  start=$(now)
  (cd "$work" && wine cmd /c convert photo.jpg -resize 50% half.png >"$work/cmd.out" 2>&1)
  cmd_total=$((cmd_total + $(now) - start))
  [ -f "$work/half.png" ] || { echo "run-vs-cmd: cmd made no picture" >&2; exit 1; }
  start=$(now)
  wine "$cli" list "$(win "$work/empty")" >"$work/list.out" 2>&1
  list_total=$((list_total + $(now) - start))
done
awk -v q="$quillon_total" -v c="$cmd_total" -v l="$list_total" -v n="$rounds" 'BEGIN {
  printf "quillon-cli run:  %.1f ms per run (mean of %d)\n", q / n / 1e6, n
  printf "cmd /c convert:   %.1f ms per run (mean of %d)\n", c / n / 1e6, n
  printf "ratio:            %.2f\n", q / c
  printf "quillon-cli list of an empty folder: %.1f ms per run (mean of %d)\n", l / n / 1e6, n
  printf "run beyond cmd, less one process start: %.1f ms\n", (q - c - l) / n / 1e6
}'
