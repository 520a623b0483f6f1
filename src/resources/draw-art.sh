#!/usr/bin/env bash
# Draws Quillon's own pictures with ImageMagick 6 (convert). The results are committed
# beside this file so that a build needs no ImageMagick; run this again after changing
# a recipe, then look at the pictures before committing them.
#
#   Quillon.ico  icon group AICO: 32 x 32 drawn from vectors, 16 x 16 drawn pixel by pixel
#   pen.bmp      17 x 17 pencil for the edit button (24-bit, button-face background)
#   mnu.bmp      17 x 17 three-bar glyph for the menu button (same)
#   wiz.png      256 x 256 wizard with a quill, shown while no script is chosen
#   bal.png      240 x 217 glossy coloured balls, shown in the output area at start-up
#
# No fonts and no outside pictures are used: every shape is a vector primitive, a
# shading formula or a pixel map written out below, so the recipe gives the same art on
# any machine with ImageMagick 6 and no text rendering can drift between installs.
set -euo pipefail
cd "$(dirname "$0")"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# The standard button face of Windows 7 and later. The program turns exactly this colour of
# the two button bitmaps transparent when it makes them into button icons, so the glyphs
# must not use it themselves.
BUTTON_FACE='#F0F0F0'

# PNGs without time stamps, so that drawing the same art twice gives the same bytes.
PNG_OPTS=(-strip -define png:exclude-chunks=date,time -depth 8)

# --------------------------------------------------------------------------------------
# A small layer painter for the vector pictures.
#
# A picture is designed in its own coordinates (DW x DH) and painted S times larger on a
# transparent scene, which is then scaled down once: the supersampling gives smooth
# edges and soft glows at any size. Coordinates passed to these helpers are design
# coordinates; MVG text is drawn with "scale S,S" in front of it.
# ImageMagick's MVG gradients ignore the scale transform, so gradient fills are made as
# separate gradient images and cut out with the shape as an opacity mask.
# --------------------------------------------------------------------------------------
S=1 DW=0 DH=0 SCENE=""

begin_scene() { # name design-width design-height supersampling
    SCENE="$WORK/$1.miff" DW=$2 DH=$3 S=$4
    convert -size $((DW * S))x$((DH * S)) xc:none "$SCENE"
}

# Fill sources for paint: a flat colour, a linear gradient between two design points,
# or a radial gradient around a design point with the given radii.
solid() { FILL=(-size $((DW * S))x$((DH * S)) "xc:$1"); }
linear() { # x1 y1 x2 y2 colour1 colour2
    FILL=(-size $((DW * S))x$((DH * S))
        -define gradient:vector=$(($1 * S)),$(($2 * S)),$(($3 * S)),$(($4 * S))
        "gradient:$5-$6")
}
radial() { # cx cy rx ry inner outer
    FILL=(-size $((DW * S))x$((DH * S))
        -define gradient:center=$(($1 * S)),$(($2 * S))
        -define gradient:radii=$(($3 * S)),$(($4 * S))
        "radial-gradient:$5-$6")
}

# Paint the MVG shapes (their outline only matters) with the current fill source.
paint() {
    convert "$SCENE" \
        \( "${FILL[@]}" \
        \( -size $((DW * S))x$((DH * S)) xc:black -fill white -stroke none -draw "scale $S,$S $1" \) \
        -alpha off -compose CopyOpacity -composite \) \
        -compose Over -composite "$SCENE"
}

# Draw MVG as written (its own fills and strokes) straight onto the scene.
ink() { convert "$SCENE" -draw "scale $S,$S $1" "$SCENE"; }

# A soft light or shadow: the MVG shapes in one colour, blurred by a design radius.
glow() { # colour blur-radius mvg
    convert "$SCENE" \
        \( -size $((DW * S))x$((DH * S)) xc:none -fill "$1" -stroke none \
        -draw "scale $S,$S $3" -blur 0x$(($2 * S)) \) \
        -compose Over -composite "$SCENE"
}

# Keep only the part of the scene inside the MVG shapes (a soft glow must not spill
# past the edge of what it lights).
clip() {
    convert "$SCENE" \
        \( -size $((DW * S))x$((DH * S)) xc:none -fill white -stroke none -draw "scale $S,$S $1" \) \
        -compose DstIn -composite "$SCENE"
}

# MVG for a five-pointed star (centre, outer radius), one point up.
star5() {
    awk -v x="$1" -v y="$2" -v r="$3" 'BEGIN {
        printf "polygon"
        for (k = 0; k < 10; k++) {
            a = -1.5707963 + k * 3.14159265 / 5; q = (k % 2) ? r * 0.42 : r
            printf " %.2f,%.2f", x + q * cos(a), y + q * sin(a)
        }
        print ""
    }'
}

# MVG for a four-pointed twinkle (centre, radius): slender arms curving in to the centre.
twinkle() {
    awk -v x="$1" -v y="$2" -v r="$3" 'BEGIN {
        q = r * 0.22
        printf "path %cM %.2f,%.2f Q %.2f,%.2f %.2f,%.2f Q %.2f,%.2f %.2f,%.2f", 39,
            x, y - r, x + q, y - q, x + r, y, x + q, y + q, x, y + r
        printf " Q %.2f,%.2f %.2f,%.2f Q %.2f,%.2f %.2f,%.2f Z%c\n",
            x - q, y + q, x - r, y, x - q, y - q, x, y - r, 39
    }'
}

# A pixel map (XPM text on standard input) written as a 24-bit BMP, as windres and
# LoadImage expect for a button bitmap: no alpha, no palette.
pixel_bitmap() { # out.bmp
    cat >"$WORK/map.xpm"
    convert "$WORK/map.xpm" -alpha off -type TrueColor "BMP3:$1"
}

# --------------------------------------------------------------------------------------
# The icon. A quill writing a gold line on a night-blue tile with a star: the program is
# a pen for image magic, and the tile's blue and gold are the wizard picture's colours.
# The 32 x 32 image is drawn from vectors; at 16 x 16 a scaled copy turns to mush (the
# feather becomes a grey smear and the line a blur), so that size is a hand-set pixel
# map with the same parts: a wider, two-tone feather, a plus-shaped star and a one-pixel
# gold line, each on whole pixels.
# --------------------------------------------------------------------------------------
draw_icon() {
    begin_scene icon 32 32 8
    local tile="roundrectangle 1,1 30.5,30.5 6,6"
    local vane="path 'M 9.5,22.5 C 11,14 17,7.5 28,3.5 C 26,12 20,19.5 12.5,24.5 Z'"
    local line="path 'M 6,28 C 12,25.5 18,29.8 26,26.2'"
    # The tile, lit from the top left, with a dark rim so it holds on light and dark
    # desktops alike.
    linear 0 1 0 31 '#4468d0' '#172a78'; paint "$tile"
    glow 'rgba(130,170,255,0.6)' 2 "ellipse 12,8 12,6 0,360"
    clip "$tile"
    ink "fill none stroke '#0c1a4c' stroke-width 1 $tile"
    ink "fill '#fff6d0' stroke none $(twinkle 8 9 3.2) circle 14,5 14,5.5 circle 5,16 5,16.5"
    # The feather, a notch cut into its lower edge (painted with the tile's own
    # gradient) so it reads as a feather and not as a blade, then the shaft.
    linear 10 24 28 4 '#dfe6f8' '#ffffff'; paint "$vane"
    ink "fill none stroke '#4a5a8a' stroke-width 0.6 $vane"
    linear 0 1 0 31 '#4468d0' '#172a78'; paint "polygon 25.5,11.5 20,15.2 22.6,15.9"
    ink "stroke '#7080a8' stroke-width 0.7 fill none path 'M 7,26 C 13,18 19,11 27,4.5'"
    # The gold nib and the glowing line it writes.
    solid '#f0c040'; paint "path 'M 5,28.5 L 6.2,24.8 L 8.8,27.2 Z'"
    glow 'rgba(255,210,90,0.9)' 1 "stroke 'rgba(255,210,90,1)' stroke-width 1.2 fill none $line"
    ink "stroke '#ffe690' stroke-width 1.3 fill none $line"
    convert "$SCENE" -resize 32x32 -depth 8 "PNG32:$WORK/icon32.png"

    # k rim, 1-5 the tile's gradient from top to bottom, s/t star, W/L/M the feather lit,
    # shaft and shaded, Y nib, y the written line. "." is transparent.
    cat >"$WORK/icon16.xpm" <<'EOF'
/* XPM */
static char *icon16[] = {
"16 16 15 1",
". c None",
"k c #0c1a4c",
"1 c #4a6cd4",
"2 c #3c5cc0",
"3 c #3050ac",
"4 c #264396",
"5 c #1e3680",
"s c #fff6d0",
"t c #9fb4ee",
"W c #ffffff",
"L c #c4d0ee",
"M c #8fa2dc",
"Y c #f0c040",
"y c #ffe08a",
"g c #5a6a98",
"..kkkkkkkkkkkk..",
".k111111111111k.",
"k111111t1111WL1k",
"k111s11111WWLM1k",
"k22sss22WWWLM22k",
"k222s22WWWLM222k",
"k22222WWWLMM222k",
"k3t333WWLMMM333k",
"k3333WWLMMM3333k",
"k3333WLMM333333k",
"k4444LM44444444k",
"k444L4444444444k",
"k44Y44444444444k",
"k5Yyyyyyyyyyy55k",
".k555555555555k.",
"..kkkkkkkkkkkk..",
};
EOF
    convert "$WORK/icon16.xpm" -depth 8 "PNG32:$WORK/icon16.png"
    # Both images keep their alpha channel, so the icon is stored 32 bits deep.
    convert "$WORK/icon32.png" "$WORK/icon16.png" ICO:Quillon.ico
}

# --------------------------------------------------------------------------------------
# The edit button's pencil, pixel by pixel: at 17 x 17 a drawn-and-scaled pencil blurs,
# a pixel map stays crisp. It lies on the diagonal, eraser up right, point down left, a
# dark outline round a three-tone yellow body (lit edge, face, shaded edge), a grey metal
# band, a pink eraser and sharpened wood with a graphite point.
# --------------------------------------------------------------------------------------
draw_pen() {
    pixel_bitmap pen.bmp <<EOF
/* XPM */
static char *pen[] = {
"17 17 14 1",
". c $BUTTON_FACE",
"o c #3c3c46",
"e c #f29aa8",
"E c #d06a7e",
"m c #e6e8ee",
"n c #b4b8c4",
"M c #80869a",
"Y c #ffd75a",
"y c #f5b316",
"D c #c87a08",
"w c #f6dcb0",
"v c #d8ad78",
"G c #4a4a52",
"g c #9a9aa4",
".................",
"............ooo..",
"...........oeeEo.",
"..........omnEEo.",
".........oYmnMo..",
"........oYyyMo...",
".......oYyyDo....",
"......oYyyDo.....",
".....oYyyDo......",
"....oYyyDo.......",
"...owyyDo........",
"..owwwDo.........",
"..owwvo..........",
".owvo............",
".oGo.............",
".G...............",
".................",
};
EOF
}

# --------------------------------------------------------------------------------------
# The menu button's glyph: three bars, the usual sign for "more commands here". Each bar
# is two pixels high, darker underneath, with softened ends so it looks rounded.
# --------------------------------------------------------------------------------------
draw_menu() {
    pixel_bitmap mnu.bmp <<EOF
/* XPM */
static char *mnu[] = {
"17 17 5 1",
". c $BUTTON_FACE",
"a c #4a4a56",
"b c #2e2e38",
"p c #9a9aa4",
"q c #8a8a94",
".................",
".................",
".................",
".................",
"...paaaaaaaaaap..",
"...qbbbbbbbbbbq..",
".................",
".................",
"...paaaaaaaaaap..",
"...qbbbbbbbbbbq..",
".................",
".................",
"...paaaaaaaaaap..",
"...qbbbbbbbbbbq..",
".................",
".................",
".................",
};
EOF
}

# --------------------------------------------------------------------------------------
# The wizard. A kindly wizard in a starry violet robe and hat stands before a night-sky
# medallion with a crescent moon; he holds an open book of scripts and raises a quill
# whose tip bursts into sparks: the program writes image magic.
#
# The picture is shown stretched, without keeping its proportions, to 234 x 210 in the
# 240 x 216 input area. So it is designed at 234 x 210 and stretched to 256 x 256 only
# at the end: the program's stretch then undoes ours, and circles come out round. The
# figure breaks out of the medallion (hat tip, robe, sparks) and the background is
# transparent, so the picture sits on the button face without a box round it.
# --------------------------------------------------------------------------------------
draw_wizard() {
    begin_scene wiz 234 210 4
    local out="stroke '#24104f' stroke-width 1.1 fill none"
    local robe="path 'M 80,104 C 88,97 122,97 130,104 C 146,126 158,170 166,200 C 130,210 80,210 44,200 C 52,170 64,126 80,104 Z'"
    local hem="path 'M 47,191 C 80,200 130,200 163,191 L 166,200 C 130,210 80,210 44,200 Z'"
    local left_sleeve="path 'M 84,103 C 62,108 44,126 43,148 C 43,158 50,166 59,171 L 80,160 C 73,153 71,145 75,137 C 80,129 90,121 97,114 Z'"
    local right_sleeve="path 'M 120,108 C 136,102 148,96 156,86 C 164,84 176,96 178,104 C 168,110 152,120 134,130 Z'"
    local hat="path 'M 68,80 C 82,60 92,40 100,26 C 108,12 122,4 138,10 C 142,12 142,16 138,16 C 126,16 118,24 116,34 C 118,50 128,66 142,80 Z'"
    local band="path 'M 76,67 C 94,72 118,72 133,67 L 137,75 C 118,80 92,80 73,75 Z'"
    local brim="ellipse 105,82 50,8 0,360"
    local beard="path 'M 85,90 C 82,104 84,118 88,130 C 90,142 96,156 103,170 C 106,160 112,150 116,140 C 122,126 126,110 125,90 C 118,102 112,105 105,105 C 98,105 91,102 85,90 Z'"
    local vane="path 'M 171,90 C 170,68 182,44 198,26 C 200,48 192,70 177,94 Z'"
    local hand="path 'M 62,166 C 66,162 74,163 76,168 C 77,172 74,177 69,177 C 64,177 60,171 62,166 Z'"
    local sweep="path 'M 199,27 C 194,12 180,4 162,6 C 178,9 190,16 196,29 Z'"

    # Ground shadow, then the night sky: a radial gradient lit near the moon, a thin
    # gold rim, scattered stars and a few twinkles.
    glow 'rgba(20,20,40,0.45)' 4 "ellipse 105,204 64,5 0,360"
    glow 'rgba(70,100,210,0.5)' 4 "circle 117,98 117,8"
    radial 95 70 120 120 '#2e4eae' '#0a1440'; paint "circle 117,98 117,8"
    ink "fill none stroke '#e8c060' stroke-width 1.6 circle 117,98 117,7"
    ink "fill '#fff6d0' stroke none circle 50,72 50,73 circle 74,32 74,33 circle 160,26 160,27.2
        circle 185,70 185,71 circle 42,120 42,121.2 circle 192,132 192,133.2 circle 150,52 150,52.8
        circle 58,152 58,153 circle 176,158 176,159 circle 34,96 34,96.8"
    ink "fill '#fff6d0' stroke none $(twinkle 170 48 5) $(twinkle 44 140 4) $(twinkle 186 150 4)"
    glow 'rgba(255,240,180,0.6)' 6 "circle 58,50 58,36"
    solid '#fff1b8'; paint "path 'M 58,36 A 14,14 0 1 0 72,54 A 11,11 0 1 1 58,36 Z'"

    # The robe: violet, darker toward the hem, with soft folds falling from the
    # shoulders, a faint light on the moon's side, a gold hem and gold stars.
    linear 105 100 105 206 '#7a4cc8' '#3a1b78'; paint "$robe"
    glow 'rgba(36,16,79,0.45)' 1 "stroke 'rgba(36,16,79,1)' stroke-width 1.6 fill none
        path 'M 122,126 C 128,150 132,176 134,202' path 'M 92,160 C 90,176 88,190 88,204'
        path 'M 146,150 C 150,168 154,184 156,198'"
    glow 'rgba(200,170,255,0.35)' 2 "stroke 'rgba(200,170,255,1)' stroke-width 3 fill none
        path 'M 74,122 C 66,146 58,170 52,196'"
    linear 44 195 166 195 '#c88a20' '#f4d070'; paint "$hem"
    ink "fill '#f0c850' stroke none $(star5 70 160 5) $(star5 140 150 4) $(star5 120 182 4.5) $(star5 60 186 3)"
    ink "$out $robe"

    # The open book of scripts, the hand that grips its edge, and the sleeve it comes
    # out of (drawn last so the cuff covers the wrist).
    ink "push graphic-context translate 86,179 rotate -8
        fill '#8a2e22' stroke '#4a120c' stroke-width 0.8 roundrectangle -22,-10 22,11 2,2
        fill '#fff8e6' stroke '#b8a888' stroke-width 0.5
        path 'M -20,-8 C -13,-11 -5,-11 0,-7 L 0,9 C -5,6 -13,6 -20,8 Z'
        path 'M 20,-8 C 13,-11 5,-11 0,-7 L 0,9 C 5,6 13,6 20,8 Z'
        stroke '#9a8a70' stroke-width 0.7
        line -15,-5 -4,-5 line -15,-2 -3,-2 line -15,1 -6,1 line -15,4 -3,4
        line 4,-5 17,-5 line 3,-2 15,-2 line 3,1 17,1 line 6,4 14,4
        pop graphic-context"
    radial 68 168 9 9 '#ffdcb8' '#e8a880'; paint "$hand"
    ink "stroke '#c07e60' stroke-width 0.6 fill none $hand"
    radial 72 171 5 5 '#ffdcb8' '#eeb48c'; paint "ellipse 73,171 4.5,2.6 -20,340"
    ink "stroke '#c07e60' stroke-width 0.6 fill none ellipse 73,171 4.5,2.6 -20,340"
    linear 50 110 90 165 '#8a5ad8' '#4a2692'; paint "$left_sleeve"; ink "$out $left_sleeve"
    ink "stroke '#e0b040' stroke-width 3 fill none line 59,169 80,159"

    # The raised arm with a gold cuff; the quill (vane, barbs, shaft, gold nib) goes in
    # before the hand so the fingers close round it.
    linear 125 105 176 96 '#7e50cc' '#5a30a2'; paint "$right_sleeve"; ink "$out $right_sleeve"
    ink "stroke '#e0b040' stroke-width 3 fill none line 157,88 176,104"
    linear 171 96 198 26 '#ffffff' '#d8e0f4'; paint "$vane"
    ink "stroke '#8a90b0' stroke-width 0.7 fill none $vane"
    ink "stroke '#a0a8c8' stroke-width 0.5 fill none
        path 'M 184,60 L 176,68 M 188,50 L 181,58 M 192,42 L 186,48 M 180,70 L 192,60 M 178,80 L 186,74'"
    ink "stroke '#6a7090' stroke-width 0.9 fill none path 'M 165,108 C 176,80 186,54 198,26'"
    solid '#d8a030'; paint "path 'M 163,104 L 168,106 L 161,117 Z'"
    radial 168 92 9 9 '#ffdcb8' '#e8a880'; paint "circle 169,96 169,103"
    ink "stroke '#c07e60' stroke-width 0.6 fill none circle 169,96 169,103
        path 'M 163,95 L 170,96 M 163,99 L 170,100'"

    # The hat: lit from the moon's side, with a gold band, a star, a small star and a
    # twinkle, its tip bent over; then the brim.
    linear 80 20 140 80 '#8e5ee0' '#3c1e80'; paint "$hat"; ink "$out $hat"
    glow 'rgba(210,180,255,0.5)' 1 "stroke 'rgba(210,180,255,1)' stroke-width 2 fill none
        path 'M 78,70 C 88,54 96,40 104,26'"
    linear 73 70 137 70 '#c88a20' '#f4d070'; paint "$band"
    ink "fill '#f0c850' stroke none $(star5 108 46 5.5) $(star5 96 60 3) $(twinkle 118 30 3)"
    linear 105 74 105 90 '#6e44c0' '#2c145e'; paint "$brim"; ink "$out $brim"

    # The face: warm skin, rosy cheeks, bright eyes with a glint, bushy white brows.
    radial 103 90 20 16 '#ffdcb8' '#e8a880'; paint "ellipse 105,93 16,11 0,360"
    glow 'rgba(240,120,120,0.5)' 2 "circle 94,96 94,99 circle 116,96 116,99"
    ink "fill '#2a1a30' stroke none ellipse 98,92 1.7,2.2 0,360 ellipse 112,92 1.7,2.2 0,360
        fill white circle 98.6,91.2 98.6,91.8 circle 112.6,91.2 112.6,91.8"
    ink "fill white stroke '#b8bcd0' stroke-width 0.5
        path 'M 92,89 C 94,85 100,85 102,88 C 99,87 95,88 92,89 Z'
        path 'M 118,89 C 116,85 110,85 108,88 C 111,87 115,88 118,89 Z'"

    # The long beard with a few strands, the moustache, and the nose on top.
    linear 105 92 105 170 '#ffffff' '#c4c8dc'; paint "$beard"
    ink "stroke '#9aa0c0' stroke-width 0.7 fill none $beard"
    ink "stroke '#b4b8d0' stroke-width 0.6 fill none
        path 'M 96,112 C 96,126 99,142 103,156 M 105,110 C 106,126 106,142 104,160
        M 114,112 C 114,126 112,138 109,148 M 90,108 C 90,116 92,124 94,130'"
    ink "fill white stroke '#9aa0c0' stroke-width 0.6
        path 'M 105,100 C 98,97 90,99 86,106 C 94,103 100,104 105,103 Z'
        path 'M 105,100 C 112,97 120,99 124,106 C 116,103 110,104 105,103 Z'"
    radial 104 95 6 6 '#ffc8b0' '#e08878'; paint "ellipse 105,97 4.5,4 0,360"

    # Magic from the quill tip: a fading crescent that shows the sweep of the wave and a
    # burst of sparks. The sparks leave the sky, so they carry a gold edge to show on
    # the light button face too.
    glow 'rgba(255,214,100,0.8)' 2 "$sweep"
    ink "fill 'rgba(255,248,220,0.9)' stroke none $sweep"
    glow 'rgba(255,230,140,0.95)' 4 "circle 199,27 199,33"
    ink "fill '#fff6c8' stroke '#d89a28' stroke-width 0.5 $(twinkle 214 16 4.5) $(twinkle 219 38 3.5)
        $(twinkle 208 47 2.5) circle 227,26 227,27.3 circle 212,5 212,6.3 circle 224,51 224,52"
    ink "fill '#fffbe8' stroke none $(twinkle 199 27 9) $(twinkle 184 20 2.5) circle 190,40 190,40.8"

    convert "$SCENE" -resize '256x256!' "${PNG_OPTS[@]}" PNG32:wiz.png
}

# --------------------------------------------------------------------------------------
# The balls. Glossy spheres in six colours, piled on an unseen floor: a green one rests
# on a red and a blue one, three small ones sit in front.
#
# Each sphere is shaded by a formula over its surface normal (x, y, z): diffuse light
# from the upper left, a darker terminator, a coloured rim of light bounced up from the
# floor on the lower right, a crisp window-shaped reflection near the top and a faint
# broad sheen. Its edge is anti-aliased from the exact distance to the rim, so the balls
# are drawn only twice the final size. Shadows: a soft one and a dark contact spot under
# every ball on the floor, and a crease where the top ball presses on the two below.
#
# Shown at 234 x 211 in the 240 x 217 output area, the picture keeps its proportions
# within half a percent, so it is designed at its own size. The top right stays clear:
# the "Found ImageMagick" caption is written there.
# --------------------------------------------------------------------------------------
glossy_ball() { # diameter colour out.png
    convert -size "$1x$1" "xc:$2" -alpha set \
        -channel RGB -fx "
            rr = w/2 - 1; xx = (i - (w-1)/2)/rr; yy = (j - (h-1)/2)/rr;
            zz = sqrt(max(0, 1 - xx*xx - yy*yy));
            dif = max(0, -0.45*xx - 0.62*yy + 0.64*zz);
            spe = max(0, -0.25*xx - 0.34*yy + 0.906*zz);
            rim = pow(1 - zz, 2) * max(0, 0.8*yy + 0.35*xx);
            wd = hypot((xx + 0.18)/0.52, (yy + 0.50)/0.30);
            win = min(1, max(0, (1 - wd)*6)) * min(1, max(0, 0.15 - (yy + 0.35)*1.6));
            base = u*(0.32 + 0.78*dif)*(0.78 + 0.22*zz);
            base + 0.6*rim*(0.3 + 0.7*u) + 0.25*(1-u)*pow(dif,5) + 0.85*win + 0.35*pow(spe,40)" \
        -channel A -fx "rr = w/2 - 1; min(1, max(0, rr - hypot(i-(w-1)/2, j-(h-1)/2) + 0.5))" \
        +channel "$3"
}

draw_balls() {
    local s=2 w=240 h=217
    # name colour centre-x centre-y radius layer (0 rests on others, 1 behind, 2 in front)
    local balls="green #2fae4a 118 74 42 0
red #d8283c 72 148 50 1
blue #2c78e0 170 142 56 1
teal #17a7b8 27 190 17 2
purple #8a3cc8 122 186 22 2
yellow #f2b01e 212 184 24 2"
    local n c x y r l
    while read -r n c x y r l; do
        glossy_ball $((2 * r * s)) "$c" "$WORK/ball-$n.png" &
    done <<<"$balls"
    wait

    local soft="" contact=""
    while read -r n c x y r l; do
        [ "$l" = 0 ] && continue
        soft+="ellipse $(((x + r / 4) * s)),$(((y + r) * s)) $((r * 9 / 10 * s)),$((r * 2 / 10 * s)) 0,360 "
        contact+="ellipse $((x * s + r * s / 10)),$(((y + r) * s)) $((r * 4 / 10 * s)),$((r * s / 12 + 1)) 0,360 "
    done <<<"$balls"
    convert -size $((w * s))x$((h * s)) xc:none -fill 'rgba(30,30,40,0.40)' -draw "$soft" \
        -blur 0x$((6 * s)) "$WORK/soft.png"
    convert -size $((w * s))x$((h * s)) xc:none -fill 'rgba(20,20,30,0.60)' -draw "$contact" \
        -blur 0x$((2 * s)) "$WORK/contact.png"

    local layer args
    for layer in 0 1 2; do
        args=()
        while read -r n c x y r l; do
            [ "$l" = "$layer" ] &&
                args+=("$WORK/ball-$n.png" -geometry "+$(((x - r) * s))+$(((y - r) * s))" -composite)
        done <<<"$balls"
        convert -size $((w * s))x$((h * s)) xc:none "${args[@]}" "$WORK/layer$layer.png"
    done

    # The crease: the top ball's outline, nudged down and blurred, darkens only the
    # balls beneath it (ATop keeps it inside them).
    convert "$WORK/layer0.png" -alpha extract -page +$((1 * s))+$((3 * s)) -background black \
        -flatten -blur 0x$((5 * s / 2)) \
        \( +clone -fill 'rgb(20,20,30)' -colorize 100 \) +swap -alpha off \
        -compose CopyOpacity -composite -channel A -evaluate multiply 0.45 +channel \
        "$WORK/crease.png"
    convert "$WORK/layer1.png" "$WORK/crease.png" -compose ATop -composite "$WORK/layer1.png"

    convert -size $((w * s))x$((h * s)) xc:none \
        "$WORK/soft.png" -composite "$WORK/contact.png" -composite \
        "$WORK/layer0.png" -composite "$WORK/layer1.png" -composite "$WORK/layer2.png" -composite \
        -resize "${w}x${h}!" "${PNG_OPTS[@]}" PNG32:bal.png
}

draw_icon
draw_pen
draw_menu
draw_wizard
draw_balls
