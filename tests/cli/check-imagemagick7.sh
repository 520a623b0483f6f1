#!/usr/bin/env bash
# Scripts written for ImageMagick 6 under ImageMagick 7, end to end: a prefix where ImageMagick
# 7.0.8's magick.exe is installed without its legacy tools and Windows' own convert.exe (a
# decoy) lies in system32. Every starter script runs through the real quillon-cli.exe, one
# through the real window, and the table's scripts run there, in the same prefix with a 7.1
# install with legacy tools (stand-ins that print 7.1's notice, then run magick.exe), and in
# the ImageMagick 6 prefix of the other tests.
#   check-imagemagick7.sh TOOLS IM6-PREFIX IM7-PREFIX CACHE QUILLON-CLI.EXE SAMPLES DECOY.EXE
#                         STAND-IN.EXE WINDOW-TESTS.EXE
set -u
tools=$1 im6=$2 im7=$3 cache=$4 cli=$5 samples=$6 decoy=$7 stand_in=$8 window_tests=$9
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! command -v convert >/dev/null 2>&1 || ! command -v identify >/dev/null 2>&1; then
  echo "ImageMagick is not installed: skipped"
  exit 77
fi
"$tools/install-imagemagick7" "$im7" "$cache" || { echo "FAIL: no ImageMagick 7 prefix"; exit 1; }
magick_only='C:\Program Files\ImageMagick-7.0.8-Q16'
with_legacy='C:\Program Files\ImageMagick-7.1-legacy'
drive_c=$im7/drive_c
cp -f "$decoy" "$drive_c/windows/system32/convert.exe"
rm -rf "$drive_c/Program Files/ImageMagick-7.1-legacy"
cp -r "$drive_c/Program Files/ImageMagick-7.0.8-Q16" "$drive_c/Program Files/ImageMagick-7.1-legacy"
for tool in convert composite montage mogrify identify compare stream conjure; do
  cp -f "$stand_in" "$drive_c/Program Files/ImageMagick-7.1-legacy/$tool.exe"
done

work=$(cd "$(mktemp -d)" && pwd -P) || exit 1
use_bin_path() {
  "$tools/wine-run" "$im7" reg add 'HKLM\SOFTWARE\ImageMagick\Current' /v BinPath /t REG_SZ \
    /d "$1" /f >"$work/reg.txt" 2>&1 || fail "BinPath could not be set to $1"
}
trap 'use_bin_path "$magick_only"; rm -rf "$work"' EXIT
use_bin_path "$magick_only"

"$here/check-starters.sh" "$tools/wine-run" "$im7" "$cli" "$samples" ||
  fail "the starter scripts under ImageMagick 7 without its legacy tools"
QUILLON_IMAGEMAGICK7=1 "$tools/wine-run" "$im7" "$window_tests" \
  --gtest_filter='RunScriptWithImageMagick7.*' >"$work/window.txt" 2>&1 ||
  fail "the window under ImageMagick 7:"$'\n'"$(tr -d '\r' <"$work/window.txt")"
grep -q '\[  PASSED  \] 1 test' "$work/window.txt" || fail "the window test did not run"

# The Windows path of a file here (Wine shows the root of the Linux file system as Z:).
windows() { printf 'Z:%s' "${1//\//\\}"; }

# installation ~ script body (one line) ~ exit code ~ what it prints (a glob; ! for one that
# must not match) ~ file made, with its size
table='
im7~convert -size 8x8 xc:red "two words.png"~0~~two words.png 8x8
im7~convert rose: png:- | convert - -resize 50% rose.gif~0~~rose.gif 35x23
im7~montage rose: rose: -tile 2x1 -geometry +0+0 pair.png & identify -format %w pair.png~1~140~pair.png 140x46
im7~convert missing.png out.png~2~*missing.png*No such file*~
im7~path~2~PATH=*\im7;*~
legacy~convert -size 8x8 xc:red red.png~0~~red.png 8x8
legacy~echo a real warning& convert -size 8x8 xc:red red.png~1~a real warning~red.png 8x8
legacy~path~2~!*\im7*~
im6~path~2~!*\im7*~
'
mkdir "$work/scripts"
while IFS='~' read -r installation body code printed made; do
  [ -n "$installation" ] || continue
  rm -f "$work/scripts"/*
  printf '<script args="0" name="Case">\r\n%s\r\n</script>\r\n' "$body" >"$work/scripts/case.xml"
  prefix=$im7
  case $installation in
    im7) use_bin_path "$magick_only" ;;
    legacy) use_bin_path "$with_legacy" ;;
    im6) prefix=$im6 ;;
  esac
  "$tools/wine-run" "$prefix" "$cli" run "$(windows "$work/scripts/case.xml")" \
    >"$work/out.txt" 2>"$work/err.txt"
  status=$?
  out=$(tr -d '\r' <"$work/out.txt")
  [ "$status" -eq "$code" ] || fail "$installation: $body: exited $status: $out$(cat "$work/err.txt")"
  case $printed in
    !*) [[ $out != ${printed#!} ]] || fail "$installation: $body: printed $out" ;;
    *) [[ $out == $printed ]] || fail "$installation: $body: printed '$out', expected '$printed'" ;;
  esac
  if [ -n "$made" ]; then
    got=$(identify -format '%wx%h' "$work/scripts/${made% *}" 2>&1 | head -n 1)
    [ "$got" = "${made##* }" ] || fail "$installation: $body: ${made% *} is '$got'"
  fi
done <<<"$table"

[ "$failures" -eq 0 ] && echo "ImageMagick 7: the starters, the window and the table ran"
exit "$failures"
