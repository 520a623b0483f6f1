#!/usr/bin/env bash
# Start-up of the real Quillon.exe at 150 % display scaling against 100 %: the start-up bench
# (from the start to an idle window with its list filled) in this build's prefix, then in a
# copy of it whose display is set to 144 dots per inch, round after round.
# Run from the repository after `cmake --build --preset windows`:
#   bench/startup-scaling.sh [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/tools/with-display" "$0" "$@"
fi
build=$root/build/windows
bench=$build/bench/quillon_startup_bench.exe
exe=$build/src/Quillon.exe
[ -f "$bench" ] || { echo "startup-scaling: build the windows preset first" >&2; exit 1; }
scaled=$build/wineprefix-bench-144
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/tools/wine-run" "$build/wineprefix" cmd /c exit >"$work/log" 2>&1
WINEPREFIX=$build/wineprefix wineserver -w
if [ ! -d "$scaled" ]; then
  cp -a "$build/wineprefix" "$scaled"
  WINEPREFIX=$scaled WINEDEBUG=-all wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d 144 /f >"$work/log" 2>&1
  WINEPREFIX=$scaled wineserver -w
fi
# The median of "with 10 scripts" (its second number) over the bench's own rounds.
ten() { grep -m1 'with 10 scripts' "$1" | grep -oE '[0-9]+(\.[0-9]+)?' | sed -n 2p; }
for dpi in 96 144; do
  prefix=$build/wineprefix
  [ "$dpi" = 144 ] && prefix=$scaled
  "$root/tools/wine-run" "$prefix" "$bench" "Z:${exe//\//\\}" "${1:-5}" >"$work/$dpi.txt" 2>&1
  WINEPREFIX=$prefix wineserver -w
  echo "at $dpi dpi: $(grep -m1 'with 10 scripts' "$work/$dpi.txt")"
done
awk -v a="$(ten "$work/96.txt")" -v b="$(ten "$work/144.txt")" \
  'BEGIN { printf "start-up at 150 %% / at 100 %%: %.2f\n", b / a }'
