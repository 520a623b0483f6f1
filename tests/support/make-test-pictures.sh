#!/usr/bin/env bash
# Draws the pictures the Windows tests load, with ImageMagick, into the folder given.
#   make-test-pictures.sh FOLDER
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
convert -size 1600x1200 gradient:'#c03020'-'#2040c0' -quality 90 photo.jpg
convert -size 600x900 gradient:'#20a040'-'#f0e060' tall.png
convert -size 100x50 xc:'#ff0000' small.gif
convert -size 256x24 xc:'#0000ff' BMP3:banner.bmp
convert -size 40x30 xc:'#00ff00' resource.png
# Larger than any slot: red on the left, blue on the right, so a shrunk copy shows both.
convert -size 1500x2000 xc:'#ff0000' -size 1500x2000 xc:'#0000ff' +append large.png
# Types GDI+ does not read, each red on the left and blue on the right; WebP without loss.
halves=(-size 320x200 xc:'#ff0000' -size 320x200 xc:'#0000ff' +append)
for type in heic avif psd tga ppm; do convert "${halves[@]}" "two.$type"; done
convert "${halves[@]}" -define webp:lossless=true two.webp
head -c 30 two.webp >corrupt.webp
echo "not a picture" >text.webp
printf 'FORM\0\0\0\4ILBM' >two.iff  # a type this ImageMagick has no decoder for
printf 'II*\0\10\0\0\0\0\0' >two.dng  # camera raw: its raw converter is not installed
touch pictures-ready
