#!/usr/bin/env bash
# Times `quillon-cli check` on a folder of 1,000 valid scripts: the native build and the
# Windows build under Wine. Usage: bench/scan-1000.sh [RUNS]
# Build first: cmake --preset bench && cmake --build --preset bench
#              cmake --preset windows && cmake --build --preset windows
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
for i in $(seq 1 1000); do
  printf '<?xml version="1.0" encoding="utf-8"?>\r\n<script args="1" name="Script %d" erase_temp="true">\r\n# step one\r\nconvert $NAME.$EXT -resize 50%% step.png\r\nconvert step.png -sepia-tone 80%% \\( +clone -flip \\) -append out%d.png\r\n</script>\r\n' "$i" "$i" >"$folder/script$i.xml"
done

time_runs() {
  local label=$1
  shift
  # Warms the file cache (and Wine's server). Under Wine this first run also starts Wine's
  # own background programs, which live on with the server: they get no stream of ours, so
  # that a pipe reading this script's output ends when the script does.
  if ! "$@" </dev/null >/dev/null 2>&1; then
    echo "scan-1000: $label failed:" >&2
    "$@" >/dev/null
    exit 1
  fi
  local start end
  start=$(date +%s.%N)
  for _ in $(seq 1 "$runs"); do "$@" >/dev/null; done
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" -v n="$runs" -v l="$label" \
    'BEGIN { printf "%-28s %8.1f ms per scan (mean of %d)\n", l, (e - s) * 1000 / n, n }'
}

if [ -x build/bench/src/quillon-cli ]; then
  time_runs "native quillon-cli" build/bench/src/quillon-cli check "$folder"
  /usr/bin/time -f "native peak memory: %M KiB" build/bench/src/quillon-cli check "$folder" >/dev/null
fi
if [ -f build/windows/src/quillon-cli.exe ]; then
  prefix=$PWD/build/windows/wineprefix
  tools/wine-prefix-setup "$prefix" >/dev/null
  # The server stays for a minute after the last run (-p60: the number must be attached,
  # "-p 60" would keep it for ever), so that each run meets a warm server.
  WINEPREFIX=$prefix wineserver -p60 </dev/null >/dev/null 2>&1 || true
  time_runs "quillon-cli.exe under Wine" tools/wine-run "$prefix" build/windows/src/quillon-cli.exe check "Z:$folder"
  # Wine's own start-up, for comparison: the same program with nothing to scan.
  empty=$(mktemp -d)
  time_runs "(Wine start-up, empty folder)" tools/wine-run "$prefix" build/windows/src/quillon-cli.exe check "Z:$empty"
  rmdir "$empty"
fi
