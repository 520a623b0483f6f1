#!/usr/bin/env bash
# Measures what a long queue adds to quillon-cli each's peak resident memory under Wine: one
# picture against 10,000 queued (sampled for SECONDS seconds, then stopped).
# Run from the repository after `cmake --build --preset windows`:
#   bench/each-memory.sh [PICTURES] [SECONDS]
set -euo pipefail
count=${1:-10000}
seconds=${2:-20}
name=each-memory
# shellcheck source=bench/wine-bench.sh
. "$(dirname "$0")/wine-bench.sh"

mkdir "$work/one" "$work/many"
convert -size 64x48 gradient:navy-gold "$work/one/p.png"
for ((i = 1; i <= count; i++)); do ln "$work/one/p.png" "$work/many/p$i.png"; done
printf '<script args="1" name="Copy">\r\nconvert $NAME.$EXT $NAME_c.bmp\r\n</script>\r\n' >"$work/copy.xml"
win() { echo "Z:${1//\//\\}"; }

# The peak resident set (kB) of the running quillon-cli.exe, sampled every 0.2 s. Wine
# runs the program in the process it was started as, so its id is the one to watch and stop.
peak() {
  local folder=$1 limit=$2 peak=0 rss pid
  wine "$cli" each --jobs 1 "$(win "$work/copy.xml")" "$(win "$folder")" >/dev/null 2>&1 &
  pid=$!
  local started=$SECONDS
  while [ $((SECONDS - started)) -lt "$limit" ] && kill -0 "$pid" 2>/dev/null; do
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
    [ "${rss:-0}" -gt "$peak" ] && peak=$rss
    sleep 0.2
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$peak"
}
one=$(peak "$work/one" "$seconds")
many=$(peak "$work/many" "$seconds")
echo "peak resident set, 1 picture:            ${one} kB"
echo "peak resident set, $count pictures queued: ${many} kB"
echo "growth:                                   $(((many - one) / 1024)) MB"
