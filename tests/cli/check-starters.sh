#!/usr/bin/env bash
# The starter scripts end to end under Wine: the real quillon-cli.exe lists every one of them
# and runs each, as Execute does, on pictures drawn here with ImageMagick; each run prints
# nothing and exits 0, makes its output with the expected size and format, and leaves no
# intermediate file behind when the script erases them.
#   check-starters.sh WINE-RUN PREFIX QUILLON-CLI.EXE SAMPLES
set -u
wine_run=$1
prefix=$2
cli=$3
samples=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! command -v convert >/dev/null 2>&1 || ! command -v identify >/dev/null 2>&1; then
  echo "ImageMagick is not installed: skipped"
  exit 77
fi
work=$(cd "$(mktemp -d)" && pwd -P) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/scripts" "$work/pictures"
cp "$samples"/*.xml "$work/scripts/"
# One saved with LF line ends only, as editors on other systems write them.
tr -d '\r' <"$samples/1-rotate.xml" >"$work/scripts/lf-rotate.xml"
cd "$work/pictures" || exit 1
convert -size 640x480 gradient:'#c03020'-'#2040c0' landscape.png
convert -seed 7 -size 400x300 plasma:fractal -quality 90 photo.jpg
convert -size 300x400 gradient:'#20a040'-'#f0e060' portrait.png
convert -size 200x200 xc:'#1060c0' square.gif
convert -size 120x60 xc:none -fill '#ffffff' -draw 'circle 30,30 30,4' -draw 'rectangle 64,8 112,52' logo.png

# The Windows path of a file here (Wine shows the root of the Linux file system as Z:).
windows() { printf 'Z:%s' "${1//\//\\}"; }

# Runs the cli under Wine with both streams in files (a pipe would be held open by the
# Wine server); sets status, out and err.
# Wine now and then refuses a start under load: its cmd then says "Can't recognize", or the
# run fails without a word (quillon-cli always says why). Such a run is made once more, and said.
run_cli() {
  "$wine_run" "$prefix" "$cli" "$@" >"$work/out.txt" 2>"$work/err.txt"
  status=$?
  if [ "$status" -ne 0 ] && { grep -q "^Can't recognize '" "$work/out.txt" "$work/err.txt" ||
    { [ ! -s "$work/out.txt" ] && [ ! -s "$work/err.txt" ]; }; }; then
    echo "note: a program of '$*' did not start or ended without a word; running it again"
    "$wine_run" "$prefix" "$cli" "$@" >"$work/out.txt" 2>"$work/err.txt"
    status=$?
  fi
  out=$(tr -d '\r' <"$work/out.txt")
  err=$(tr -d '\r' <"$work/err.txt")
}

# The catalogue Quillon would build from the samples: every file listed, none invalid.
count=$(ls "$work"/scripts/*.xml | wc -l)
[ "$count" -ge 16 ] || fail "only $count starter scripts"
run_cli list "$(windows "$work/scripts")"
[ "$status" -eq 0 ] || fail "list exited $status: $err"
[ "$(grep -c . <<<"$out")" -eq "$count" ] || fail "list shows not every script:"$'\n'"$out"
run_cli check "$(windows "$work/scripts")"
[ "$(grep -c 'This script takes' <<<"$out")" -eq "$count" ] || fail "check: not every script is valid"
grep -q 'Invalid xml' <<<"$out" && fail "check: a script is invalid:"$'\n'"$out"

# script | input pictures | output file | size | format | identify property=value (or -) |
# intermediate files that must be gone afterwards | settings given (none: the defaults)
table="
0-gradient-wallpaper.xml||gradient_wallpaper.jpg|1920x1080|JPEG|-|
0-colour-test-card.xml||colour_test_card.png|1280x720|PNG|-|card_bars.png card_ramp.png
0-colour-wheel.xml||colour_wheel.png|400x400|PNG|%A=True|
1-half-size.xml|landscape.png|landscape_half.png|320x240|PNG|-|
1-thumbnail.xml|photo.jpg|photo_thumb.jpg|300x225|JPEG|-|
1-grey-scale.xml|photo.jpg|photo_grey.jpg|400x300|JPEG|%[colorspace]=Gray|
1-sepia.xml|portrait.png|portrait_sepia.jpg|300x400|JPEG|-|
1-framed-border.xml|landscape.png|landscape_framed.png|720x560|PNG|-|
1-polaroid.xml|landscape.png|landscape_polaroid.png|576x524|PNG|%A=True|
1-rotate.xml|portrait.png|portrait_rotated.png|400x300|PNG|-|
lf-rotate.xml|landscape.png|landscape_rotated.png|480x640|PNG|-|
1-web-jpeg.xml|landscape.png|landscape_web.jpg|640x480|JPEG|%Q=82|
2-logo-watermark.xml|photo.jpg logo.png|photo_logo.jpg|400x300|JPEG|-|watermark_logo.png
2-side-by-side.xml|landscape.png photo.jpg|side_by_side.png|1288x480|PNG|-|
2-difference.xml|landscape.png photo.jpg|landscape_difference.png|640x480|PNG|-|difference_second.png difference_mask.png
3-triptych.xml|landscape.png photo.jpg portrait.png|triptych.jpg|1720x520|JPEG|-|
4-contact-sheet.xml|landscape.png photo.jpg portrait.png square.gif|contact_sheet.jpg|624x624|JPEG|-|
0-gradient-wallpaper.xml||gradient_wallpaper.jpg|1280x720|JPEG|-||SIZE=1280x720 TOP=#000000 BOTTOM=#FFFFFF
1-half-size.xml|landscape.png|landscape_half.png|160x120|PNG|-||PERCENT=25
1-thumbnail.xml|photo.jpg|photo_thumb.jpg|100x75|JPEG|-||SIZE=100
1-sepia.xml|portrait.png|portrait_sepia.jpg|300x400|JPEG|-||TONE=33,5
1-framed-border.xml|landscape.png|landscape_framed.png|700x540|PNG|-||MAT=10 FRAME=20 MAT_COLOUR=#000000
1-polaroid.xml|landscape.png|landscape_polaroid.png|544x488|PNG|%A=True||ANGLE=0
1-web-jpeg.xml|landscape.png|landscape_web.jpg|320x240|JPEG|%Q=50||QUALITY=50 SIDE=320
2-logo-watermark.xml|photo.jpg logo.png|photo_logo.jpg|400x300|JPEG|-|watermark_logo.png|CORNER=northwest SCALE=50 OPACITY=100
2-side-by-side.xml|landscape.png photo.jpg|side_by_side.png|1281x480|PNG|-||GAP=1 BACKGROUND=#000000
4-contact-sheet.xml|landscape.png photo.jpg portrait.png square.gif|contact_sheet.jpg|224x224|JPEG|-||TILE=100 PAPER=#ffffff
"

tested=0
while IFS='|' read -r script pictures output size format property gone settings; do
  [ -n "$script" ] || continue
  [ -n "$settings" ] || tested=$((tested + 1))
  [ -f "$work/scripts/$script" ] || { fail "$script: no such starter script"; continue; }
  options=()
  for setting in $settings; do options+=(--set "$setting"); done
  arguments=()
  for picture in $pictures; do arguments+=("$(windows "$work/pictures/$picture")"); done
  # A script without pictures writes beside itself, the others beside their first picture.
  if [ -z "$pictures" ]; then folder=$work/scripts; else folder=$work/pictures; fi
  run_cli run "${options[@]}" "$(windows "$work/scripts/$script")" "${arguments[@]}"
  [ "$status" -eq 0 ] || fail "$script $settings: exited $status"
  [ -z "$out$err" ] || fail "$script $settings printed:"$'\n'"$out"$'\n'"$err"
  made=$folder/$output
  if [ ! -f "$made" ]; then
    fail "$script: $output was not made"
    continue
  fi
  got=$(identify -format '%m %wx%h\n' "$made" 2>&1 | head -n 1)
  [ "$got" = "$format $size" ] ||
    fail "$script $settings: $output is '$got', expected '$format $size'"
  if [ "$property" != - ]; then
    value=$(identify -format "${property%%=*}" "$made" 2>&1)
    [ "$value" = "${property#*=}" ] || fail "$script: ${property%%=*} of $output is '$value'"
  fi
  for file in $gone; do
    [ ! -e "$folder/$file" ] || fail "$script: intermediate $file is left"
  done
  [ ! -e "$work/scripts/script.bat" ] || fail "$script: script.bat is left"
done <<<"$table"
[ "$tested" -eq "$count" ] || fail "the table runs $tested scripts of $count"

[ "$failures" -eq 0 ] && echo "starter scripts: all $tested ran and made their pictures"
exit "$failures"
