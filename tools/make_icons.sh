#!/usr/bin/env bash
# Draws the application icon with ImageMagick at the sizes a desktop's icon theme asks for:
#   data/pictures/icon_16.png, icon_32.png       the window's and tray's icon (compiled in)
#   packaging/icons/haojian_<N>.png, N = 48, 64, 128, 256   the larger sizes of the menu entry
# A phone under a red magnifier. The 16-pixel image has a design of its own, thinned for the
# small grid; every other size is the 32-pixel design scaled as vectors, so that large icons
# stay sharp. Run from anywhere: tools/make_icons.sh. The output is committed; rerun after a
# change.
set -euo pipefail
cd "$(dirname "$0")/.."
pictures=data/pictures
icons=packaging/icons
mkdir -p "$pictures" "$icons"

png() {  # drawing options..., output file; no time stamps, so a rerun gives the same bytes
    local target=${*: -1}
    convert "${@:1:$#-1}" -strip -define png:exclude-chunks=date,time "PNG32:$target"
}

# The 32-pixel design in ImageMagick's drawing language, on a grid whose pixel centres are
# the whole coordinates.
design32="
fill '#2b5f9e' stroke '#142c4a' stroke-width 1 roundrectangle 7,1 22,30 3,3
fill '#d8ecff' stroke none rectangle 9,5 20,23
fill '#142c4a' circle 14.5,27 14.5,25.6
fill none stroke '#c0392b' stroke-width 2.5 circle 20,17 20,11
stroke-width 3.5 line 24,21 30,27"

draw32() {  # size, output file
    local size=$1 scale shift
    scale=$(awk -v n="$size" 'BEGIN { print n / 32 }')
    # Pixel centres stay pixel centres: x -> scale * (x + 1/2) - 1/2.
    shift=$(awk -v s="$scale" 'BEGIN { print (s - 1) / 2 }')
    png -size "${size}x${size}" xc:none -draw "affine $scale,0,0,$scale,$shift,$shift $design32" "$2"
}

png -size 16x16 xc:none -fill '#2b5f9e' -stroke '#142c4a' -strokewidth 1 \
    -draw 'roundrectangle 3,0 11,15 2,2' -fill '#d8ecff' -stroke none -draw 'rectangle 5,2 9,11' \
    -fill none -stroke '#c0392b' -strokewidth 1.5 -draw 'circle 10,8 10,5' \
    -strokewidth 2 -draw 'line 12,10 15,13' "$pictures/icon_16.png"
draw32 32 "$pictures/icon_32.png"
for size in 48 64 128 256; do
    draw32 "$size" "$icons/haojian_$size.png"
done
identify "$pictures"/icon_16.png "$pictures"/icon_32.png "$icons"/haojian_*.png
