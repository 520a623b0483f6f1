#!/usr/bin/env bash
# quillon-cli batch natively: the exact bytes of "script.bat" for real pictures drawn with
# ImageMagick (sizes from the files' headers), the output folder it chooses, and the exit
# codes of a wrong picture count, a bad script, a bad picture and of run off Windows.
set -u
cli=$(realpath "$1")
samples=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! command -v convert >/dev/null 2>&1; then
  echo "ImageMagick's convert is not installed: skipped"
  exit 77
fi
# The physical path: the cli names folders as the system's current folder gives them.
work=$(cd "$(mktemp -d)" && pwd -P) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir pictures "out folder"
convert -size 64x48 xc:red pictures/pic.png
convert -size 64x48 xc:red "pictures/my pic.png"
convert -size 30x20 xc:blue -quality 90 pictures/b.jpg
convert -size 7x5 xc:green pictures/c.gif
convert -size 9x3 xc:white BMP3:pictures/d.bmp
printf 'not a picture' >pictures/text.png
printf '%s\r\n' '<?xml version="1.0"?>' '<script args="1" name="Half size" erase_temp="true">' \
  'convert $NAME.$EXT -resize $WIDTHx$HEIGHT! step.png' 'convert step.png -resize 50% half.png' \
  '</script>' >half.xml
printf '%s\r\n' '<script args="3" name="Sizes">' \
  'echo $WIDTH1x$HEIGHT1 $WIDTH2x$HEIGHT2 $WIDTH3x$HEIGHT3 > sizes.txt' >sizes.xml
printf '%s\r\n' '<script name="No count">' 'echo x' >nocount.xml
printf '%s\r\n' '<script args="0" name="Wheel">' \
  "convert -size 400x400 xc:black -fx 'hypot(i-200,j-200)<196' \\" '        +channel wheel.png' >wheel.xml
folder=$work/pictures

# Compares the cli's standard output, byte for byte, with the expectation given as printf
# format text.
expect_batch() {
  local what=$1 format=$2
  shift 2
  local got expected
  got=$("$cli" batch "$@" | od -An -c)
  local status=${PIPESTATUS[0]}
  # shellcheck disable=SC2059
  expected=$(printf "$format" | od -An -c)
  [ "$status" -eq 0 ] || fail "$what: exited $status"
  [ "$got" = "$expected" ] || fail "$what: got"$'\n'"$got"$'\n'"expected"$'\n'"$expected"
}

expect_batch "sample in the picture's folder" \
  "pushd \"$folder/\" & if errorlevel 1 exit /b 1\r\n:: An old-photograph look for one picture: brown tones, a little less colour, a touch of\r\n:: sharpening to make up for the softness.\r\nconvert pic.png -sepia-tone 80%%%% -modulate 100,90 -unsharp 0x1 pic_sepia.jpg\r\n\r\npopd\r\n" \
  "$samples/1-sepia.xml" pictures/pic.png

expect_batch "quoted name and folder, size, percent and erase list" \
  "pushd \"$work/out folder/\" & if errorlevel 1 exit /b 1\r\nconvert \"my pic.png\" -resize 64x48! step.png\r\nconvert step.png -resize 50%%%% half.png\r\n\r\ndel step.png\r\n\r\npopd\r\n" \
  --out "out folder" half.xml "pictures/my pic.png"

expect_batch "JPEG, GIF and BMP sizes" \
  "pushd \"$folder/\" & if errorlevel 1 exit /b 1\r\necho 30x20 7x5 9x3 > sizes.txt\r\n\r\npopd\r\n" \
  sizes.xml pictures/b.jpg pictures/c.gif pictures/d.bmp

expect_batch "no picture: the script's folder" \
  "pushd \"$work/\" & if errorlevel 1 exit /b 1\r\nconvert -size 400x400 xc:black -fx \"hypot(i-200,j-200)<196\" ^\r\n        +channel wheel.png\r\n\r\npopd\r\n" \
  wheel.xml

# Exit code, nothing on standard output, and one line on standard error.
expect_refusal() {
  local what=$1 code=$2 message=$3
  shift 3
  local out err status
  out=$("$cli" "$@" 2>"$work/err")
  status=$?
  err=$(cat "$work/err")
  [ "$status" -eq "$code" ] || fail "$what: exited $status, not $code"
  [ -z "$out" ] || fail "$what: wrote to standard output"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$what: not one line on standard error: $err"
  grep -qF -- "$message" <<<"$err" || fail "$what: message '$err' lacks '$message'"
}

expect_refusal "too many pictures" 3 "usage:" batch half.xml pictures/pic.png pictures/b.jpg
expect_refusal "too few pictures" 3 "takes 3 pictures, 2 given" batch sizes.xml pictures/pic.png pictures/b.jpg
expect_refusal "missing output folder" 3 "no such folder" batch --out nowhere half.xml pictures/pic.png
expect_refusal "--out without a folder" 3 "usage:" batch --out
expect_refusal "no script" 3 "usage:" batch
expect_refusal "invalid script" 3 "no args=" batch nocount.xml
expect_refusal "missing script" 3 "cannot read the script" batch nothing.xml
expect_refusal "undecodable picture" 3 "pictures/text.png" batch half.xml pictures/text.png
expect_refusal "missing picture" 3 "pictures/none.png" batch half.xml pictures/none.png
expect_refusal "run off Windows" 4 "run needs Windows" run half.xml pictures/pic.png

[ "$failures" -eq 0 ] && echo "quillon-cli batch: all checks passed"
exit "$failures"
