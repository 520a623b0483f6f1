#!/usr/bin/env bash
# Start-up with a 24-megapixel JPEG on the command line (as Explorer's "Open with" and "Send
# to" give it), to the picture in its slot, against a start followed by the same picture
# handed to the idle window: the start-up bench's picture mode, round after round. WAIT
# (milliseconds, 0 unless given) is how long after the window opens the script is chosen, as a
# user takes a moment to: the picture on the command line is decoded meanwhile.
# Run from the repository after `cmake --build --preset windows`:
#   bench/startup-picture.sh [ROUNDS [WAIT]]
# QUILLON_EXE names another build of Quillon.exe (an older one, to compare against).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/tools/with-display" "$0" "$@"
fi
build=$root/build/windows
bench=$build/bench/quillon_startup_bench.exe
exe=${QUILLON_EXE:-$build/src/Quillon.exe}
[ -f "$bench" ] || { echo "startup-picture: build the windows preset first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -seed 1 -size 6000x4000 plasma: -quality 90 "$work/photo.jpg"
"$root/tools/wine-run" "$build/wineprefix" "$bench" "Z:${exe//\//\\}" "${1:-5}" \
  "Z:${work//\//\\}\\photo.jpg" "${2:-0}"
