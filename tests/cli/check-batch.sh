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

# Settings: values typed with a comma or in another case, the longest declared name first,
# an undeclared "$OTHER" left as written, a typed text by variable inside quotes.
printf '%s\r\n' '<script args="1" name="Settings">' \
  '<param name="TONE" label="Tone" type="number" min="0" max="100" step="0.5" default="80"/>' \
  '<param name="C" label="Corner" type="choice" choices="NorthWest|b-c" default="b-c"/>' \
  '<param name="K" label="Ink" type="colour" default="#A0B1C2"/>' \
  "<param name=\"S\" label=\"Flip\" type=\"switch\" on=\"-flip 'x y'\" off=\"\" default=\"off\"/>" \
  '<param name="CAP" label="Caption" type="text" max="12" default="Hi"/>' \
  '<param name="SIZE" label="Size" type="number" min="1" max="9" default="5"/>' \
  '<param name="SIZE2" label="Size 2" type="number" min="1" max="9" default="7"/>' \
  "convert \$NAME.\$EXT -sepia-tone \$TONE% -gravity \$C -fill \$K \$S '\$CAP' x\$SIZE2 y\$SIZE z\$SIZE3 \$OTHER o.png" \
  >settings.xml
expect_batch "settings at their defaults" \
  "pushd \"$folder/\" & if errorlevel 1 exit /b 1\r\nconvert pic.png -sepia-tone 80%%%% -gravity b-c -fill #a0b1c2  \"%%QUILLON_SET_CAP%%\" x7 y5 z53 \$OTHER o.png\r\n\r\npopd\r\n" \
  settings.xml pictures/pic.png
expect_batch "settings given" \
  "pushd \"$folder/\" & if errorlevel 1 exit /b 1\r\nconvert pic.png -sepia-tone 62.5%%%% -gravity NorthWest -fill #ffeedd -flip \"x y\" \"%%QUILLON_SET_CAP%%\" x1 y5 z53 \$OTHER o.png\r\n\r\npopd\r\n" \
  --set TONE=62,5 --set C=NORTHWEST --set 'K=#FFEEDD' --set S=on --set 'CAP=a & b' --set SIZE2=1 \
  settings.xml pictures/pic.png
while IFS='@' read -r setting message; do
  [ -n "$setting" ] || continue
  expect_refusal "--set $setting" 3 "$message" batch --set "$setting" settings.xml pictures/pic.png
done <<VALUES
TONE=100.5@bad value "100.5" for setting TONE: outside 0..100
TONE=1e3@bad value "1e3" for setting TONE: not a number
C=east@not one of NorthWest|b-c
K=red@bad value "red" for setting K: not a colour #rrggbb
S=yes@not on or off
CAP=0123456789abc@longer than 12 characters
CAP=say "hi"@the character " (double quote) cannot be passed
CAP=a$(printf '\r')b@the character line break cannot be passed
OTHER=1@the script declares no setting OTHER (given the value "1")
TONE@--set takes NAME=VALUE
VALUES

# Declarations, each alone in a script (a second "<param " starts a second line): what
# `settings` prints for it, fields separated by "~", or the validation log's complaint.
mkdir declared
while IFS='@' read -r attributes expected; do
  [ -n "$attributes" ] || continue
  printf '<script args="1" name="D">\r\n<param %s\r\nconvert $NAME.$EXT o.png\r\n' \
    "${attributes// <param /$'\r\n'<param }" >declared/d.xml
  if [[ $expected == "Bad setting"* ]]; then
    log=$("$cli" check declared | tr -d '\r')
    grep -qxF -- "$expected" <<<"$log" && grep -q 'Invalid xml' <<<"$log" ||
      fail "<param $attributes: the log lacks '$expected':"$'\n'"$log"
  else
    got=$("$cli" settings declared/d.xml | tr '\t' '~')
    [ "$got" = "$expected" ] || fail "<param $attributes: settings gave '$got', not '$expected'"
  fi
done <<'DECLARATIONS'
name="TONE" label="Strength" type="number" min="0" max="100" default="80" unit="%"/>@TONE~number~0..100~80~Strength
NAME="T_2" Label="t" type="Number" min="-1.50" max="2" step="0.25" default="-0.5">@T_2~number~-1.5..2~-0.5~t
name="C" label="Pick" type="choice" choices="a|b-c|+d.e#_" default="b-c"/>@C~choice~a|b-c|+d.e#_~b-c~Pick
name="K" label="Ink" type="colour" default="#A0B1C2"/>@K~colour~#rrggbb~#a0b1c2~Ink
name="S" label="Flip" type="switch" on="-flip" off="" default="ON"/>@S~switch~on|off~on~Flip
name="CAP" label="Caption" type="text" default="a & b %PATH% ^!"/>@CAP~text~max 200~a & b %PATH% ^!~Caption
name="CAP" label="Caption" type="text" max="5" default=""/>@CAP~text~max 5~~Caption
label="x" type="text" default=""/>@Bad setting <param NAME="">: it has no name
name="tone" label="x" type="text" default=""/>@Bad setting <param NAME="tone">: the name must start with a capital letter
name="TO-NE" label="x" type="text" default=""/>@Bad setting <param NAME="TO-NE">: the name may hold only capital letters, digits and _
name="NAME2" label="x" type="text" default=""/>@Bad setting <param NAME="NAME2">: the name may not start with NAME, which Quillon fills with the picture's data
name="EXTRA" label="x" type="text" default=""/>@Bad setting <param NAME="EXTRA">: the name may not start with EXT, which Quillon fills with the picture's data
name="WIDTH" label="x" type="text" default=""/>@Bad setting <param NAME="WIDTH">: the name may not start with WIDTH, which Quillon fills with the picture's data
name="A" label="x" type="text" default=""/> <param name="A" label="y" type="text" default=""/>@Bad setting <param NAME="A">: the name is declared twice
name="A" label=" " type="text" default=""/>@Bad setting <param NAME="A">: it has no label
name="A" label="a" type="text"/>@Bad setting <param NAME="A">: it has no default
name="A" label="a" type="slider" default="1"/>@Bad setting <param NAME="A">: type "slider" is not number, choice, colour, switch or text
name="A" lable="a" type="text" default=""/>@Bad setting <param NAME="A">: unknown attribute lable
name="A" label=a type="text" default=""/>@Bad setting <param NAME="A">: the value of label is not in double quotes
name="A" label="a" label="b" type="text" default=""/>@Bad setting <param NAME="A">: label is given twice
name="A" label="a@Bad setting <param NAME="A">: the value of label has no closing quote
name="TONE" label="S" type="number" min="0" max="100" default="120"/>@Bad setting <param NAME="TONE">: default 120 is outside 0..100
name="A" label="a" type="number" min="0" default="1"/>@Bad setting <param NAME="A">: a number needs min and max
name="A" label="a" type="number" min="5" max="1" default="1"/>@Bad setting <param NAME="A">: min 5 is above max 1
name="A" label="a" type="number" min="0" max="9" default="1,5"/>@Bad setting <param NAME="A">: min, max and default must be numbers written with digits and "."
name="A" label="a" type="number" min="0" max="9" step="0" default="1"/>@Bad setting <param NAME="A">: step must be a number above 0
name="A" label="a" type="choice" choices="x|y" default="z"/>@Bad setting <param NAME="A">: default z is not one of the choices
name="A" label="a" type="choice" choices="x||y" default="x"/>@Bad setting <param NAME="A">: a choice is empty (choices are separated by |)
name="A" label="a" type="choice" choices="x|a/b" default="x"/>@Bad setting <param NAME="A">: choice a/b holds / (choices are letters, digits and - _ + . #)
name="A" label="a" type="choice" choices="x|y|x" default="x"/>@Bad setting <param NAME="A">: choice x is listed twice
name="A" label="a" type="colour" default="#12345g"/>@Bad setting <param NAME="A">: default #12345g: not a colour #rrggbb
name="A" label="a" type="switch" on="-flip" default="on"/>@Bad setting <param NAME="A">: a switch needs on and off (the text each state puts into the script)
name="A" label="a" type="switch" on="" off="" default="yes"/>@Bad setting <param NAME="A">: default yes: not on or off
name="A" label="a" type="text" max="0" default=""/>@Bad setting <param NAME="A">: max must be a length from 1 to 9999
name="A" label="a" type="text" max="2" default="abc"/>@Bad setting <param NAME="A">: default abc: longer than 2 characters
DECLARATIONS

[ "$failures" -eq 0 ] && echo "quillon-cli batch: all checks passed"
exit "$failures"
