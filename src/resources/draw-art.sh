#!/usr/bin/env bash
# Draws Quillon's own pictures with ImageMagick 6. The results are committed so that a
# build needs no ImageMagick; run this again after changing a recipe.
set -euo pipefail
cd "$(dirname "$0")"

# The icon: a white quill on a rounded deep-blue tile, at 32 x 32 and 16 x 16.
icon_at() {
    local size=$1 out=$2
    convert -size 256x256 xc:none \
        -fill '#1d4e89' -draw 'roundrectangle 8,8 247,247 44,44' \
        -fill '#2f6db5' -draw 'roundrectangle 8,8 247,150 44,44' \
        -fill white -stroke '#0d2a4d' -strokewidth 6 \
        -draw 'path "M 196,36 C 120,60 78,120 70,196 L 92,176 C 120,150 160,110 196,36 Z"' \
        -stroke white -strokewidth 10 -draw 'line 70,196 52,222' \
        -resize "${size}x${size}" "$out"
}
icon_at 32 /tmp/quillon-icon-32.png
icon_at 16 /tmp/quillon-icon-16.png
convert /tmp/quillon-icon-32.png /tmp/quillon-icon-16.png Quillon.ico
rm -f /tmp/quillon-icon-32.png /tmp/quillon-icon-16.png
