#!/usr/bin/env bash
# ImageMagick 6 scripts under ImageMagick 7 (magick.exe alone, the disk tool in system32): every
# starter, one run through the window, the table (also under 7.1's legacy tools, and IM6).
#   check-imagemagick7.sh TOOLS IM6-PREFIX IM7-PREFIX CACHE CLI.EXE SAMPLES STAND-IN.EXE TESTS.EXE
set -u
tools=$1 im6=$2 im7=$3 stand_in=$7 failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
command -v identify >/dev/null || { echo "ImageMagick is not installed: skipped"; exit 77; }
"$tools/install-imagemagick7" "$im7" "$4" || { echo "FAIL: no ImageMagick 7 prefix"; exit 1; }
programs=$im7/drive_c/Program\ Files magick_only='C:\Program Files\ImageMagick-7.0.8-Q16'
# Installed on C: as a user would have it, the legacy names beside it.
quillon=$im7/drive_c/Quillon cli=$im7/drive_c/Quillon/quillon-cli.exe
rm -rf "$quillon" && mkdir "$quillon" && cp -r "$5" "${5%/*}/im7" "$quillon/"
cp -f "$stand_in" "$im7/drive_c/windows/system32/convert.exe"
rm -rf "$programs/IM-7.1" && cp -r "$programs/ImageMagick-7.0.8-Q16" "$programs/IM-7.1"
for t in convert composite montage mogrify identify compare stream conjure; do
  cp -f "$stand_in" "$programs/IM-7.1/$t.exe"; done
work=$(mktemp -d)
use_bin_path() {
  "$tools/wine-run" "$im7" reg add 'HKLM\SOFTWARE\ImageMagick\Current' /v BinPath /t REG_SZ \
    /d "$1" /f >"$work/reg.txt" 2>&1 || fail "BinPath not set to $1"
}
trap 'use_bin_path "$magick_only"; rm -rf "$work"' EXIT
use_bin_path "$magick_only"

"$(dirname "$0")/check-starters.sh" "$tools/wine-run" "$im7" "$cli" "$6" || fail "starters"
QUILLON_IMAGEMAGICK7=1 "$tools/wine-run" "$im7" "$8" --gtest_filter='*ImageMagick7*' \
  >"$work/window.txt" 2>&1 && grep -q 'PASSED.*1 test' "$work/window.txt" ||
  fail "the window: $(cat "$work/window.txt")"

# installation ~ one-line script ~ exit code ~ what it prints (a glob; ! for one that must not
# match) ~ file made and its size
while IFS='~' read -r installation body code printed made; do
  [ -n "$installation" ] || continue
  rm -f "$work"/*.png "$work"/*.gif
  printf '<script args="0" name="Case">\r\n%s\r\n</script>\r\n' "$body" >"$work/case.xml"
  prefix=$im7
  case $installation in
    im7) use_bin_path "$magick_only" ;;
    legacy) use_bin_path 'C:\Program Files\IM-7.1' ;;
    im6) prefix=$im6 ;;
  esac
  "$tools/wine-run" "$prefix" "$cli" run "Z:${work//\//\\}\\case.xml" >"$work/out.txt" \
    2>"$work/err.txt"
  status=$? out=$(tr -d '\r' <"$work/out.txt")
  [ "$status" -eq "$code" ] || fail "$installation: $body: exited $status: $out"
  if [[ $printed == !* ]]; then [[ $out != ${printed#!} ]]; else [[ $out == $printed ]]; fi ||
    fail "$installation: $body: printed '$out'"
  [ -z "$made" ] || [ "$(identify -format '%wx%h' "$work/${made% *}")" = "${made##* }" ] ||
    fail "$installation: $body: ${made% *} is not ${made##* }"
done <<<'
im7~convert -size 8x8 xc:red "two words.png"~0~~two words.png 8x8
im7~convert rose: png:- | convert - -resize 50% rose.gif~0~~rose.gif 35x23
im7~montage rose: rose: -tile 2x1 -geometry +0+0 pair.png & identify -format %w pair.png~1~140~pair.png 140x46
im7~convert missing.png out.png || echo its exit code came through~2~*missing.png*No such file*came through~
im7~path~2~PATH=*\im7;*~
legacy~convert -size 8x8 xc:red red.png~0~~red.png 8x8
legacy~echo a real warning& convert -size 8x8 xc:red red.png~1~a real warning~red.png 8x8
legacy~path~2~!*\im7*~
im6~path~2~!*\im7*~
'
[ "$failures" -eq 0 ] && echo "ImageMagick 7: the starters, the window and the table ran"
exit "$failures"
