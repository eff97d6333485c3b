#!/usr/bin/env bash
# Draws the program's pictures into data/pictures/ with ImageMagick:
#   image1.jpg, image2.jpg   the two 176 x 176 pictures of the main window's bottom panel
#   glyph_<name>.png         a 16 x 16 glyph for each tool-bar button, and
#   glyph_<name>_disabled.png  its greyed image for the disabled state
#   icon_32.png, icon_16.png the application icon (tools/make_icons.sh, with its larger sizes)
# Run from anywhere: tools/make_pictures.sh. The output is committed; rerun after a change.
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/pictures
mkdir -p "$out"
font=AR-PL-UMing-CN
# No time stamps or other metadata, so that a rerun gives the same bytes.
png() {  # drawing options..., output file
  local target=${*: -1}
  convert "${@:1:$#-1}" -strip -define png:exclude-chunks=date,time "PNG32:$target"
}

# --- The bottom panel's pictures -------------------------------------------------------
# Left: a phone whose screen shows a number being looked up.
convert -size 176x176 gradient:'#2b5f9e'-'#9cc3ea' \
  -fill '#f4f4f4' -stroke '#1d2b3a' -strokewidth 3 -draw 'roundrectangle 52,14 124,162 12,12' \
  -fill '#d8ecff' -stroke '#1d2b3a' -strokewidth 1 -draw 'rectangle 60,32 116,132' \
  -fill '#1d2b3a' -stroke none -draw 'circle 88,147 88,141' \
  -draw 'roundrectangle 78,21 98,24 1,1' \
  -fill '#1d2b3a' -font DejaVu-Sans-Mono-Bold -pointsize 11 \
  -draw "text 63,52 '1380013'" -fill '#c0392b' -draw "text 63,66 '8000'" \
  -fill '#2b5f9e' -draw 'rectangle 63,76 112,79' -draw 'rectangle 63,86 100,89' \
  -draw 'rectangle 63,96 108,99' -draw 'rectangle 63,106 94,109' \
  -fill none -stroke '#c0392b' -strokewidth 5 -draw 'circle 118,112 118,90' \
  -stroke '#c0392b' -strokewidth 9 -draw 'line 134,128 156,150' \
  -strip -quality 90 "$out/image1.jpg"

# Right: the program's name over a map pin and a grid of segments.
convert -size 176x176 gradient:'#fdf6e3'-'#e8d8b0' \
  -stroke '#c9b27c' -strokewidth 1 \
  -draw 'line 0,44 176,44' -draw 'line 0,88 176,88' -draw 'line 0,132 176,132' \
  -draw 'line 44,0 44,176' -draw 'line 88,0 88,176' -draw 'line 132,0 132,176' \
  -fill '#c0392b' -stroke '#7b1f16' -strokewidth 2 -draw 'circle 88,62 88,34' \
  -draw 'polygon 66,78 110,78 88,120' \
  -fill '#fdf6e3' -stroke none -draw 'circle 88,62 88,50' \
  -fill '#7b1f16' -font "$font" -pointsize 30 -gravity south -annotate +0+14 '瓴岚号鉴' \
  -strip -quality 90 "$out/image2.jpg"

# --- Tool-bar glyphs (16 x 16) -------------------------------------------------------------
glyph() {  # name, then the drawing options
  local name=$1
  shift
  png -size 16x16 xc:none "$@" "$out/glyph_$name.png"
  # The disabled image: grey, lighter, with a light edge as greyed glyphs have.
  png "$out/glyph_$name.png" -channel RGB -colorspace Gray -fill '#a0a0a0' -colorize 55% \
    +channel "$out/glyph_${name}_disabled.png"
}
ink=-stroke
# Import: a sheet with an arrow coming in.
glyph import -fill white $ink '#404040' -draw 'rectangle 5,1 14,14' \
  -stroke '#1f7a1f' -strokewidth 2 -draw 'line 0,8 8,8' -fill '#1f7a1f' -stroke none \
  -draw 'polygon 7,4 11,8 7,12'
# Query: a magnifier.
glyph query -fill '#cfe6ff' -stroke '#1d4f91' -strokewidth 2 -draw 'circle 6,6 6,1' \
  -stroke '#5a3a1a' -strokewidth 3 -draw 'line 10,10 14,14'
# Stop: a red octagon with a white bar.
glyph stop -fill '#d02020' -stroke '#801010' -strokewidth 1 \
  -draw 'polygon 5,1 10,1 14,5 14,10 10,14 5,14 1,10 1,5' -fill white -stroke none \
  -draw 'rectangle 4,6 11,9'
# Export: a sheet with an arrow going out.
glyph export -fill white $ink '#404040' -draw 'rectangle 1,1 10,14' \
  -stroke '#1d4f91' -strokewidth 2 -draw 'line 6,8 13,8' -fill '#1d4f91' -stroke none \
  -draw 'polygon 12,4 16,8 12,12'
# Merge: two sheets joined into one.
glyph merge -fill '#fff3c4' $ink '#806000' -draw 'rectangle 1,1 7,7' -draw 'rectangle 8,1 14,7' \
  -stroke '#806000' -draw 'line 4,8 7,11' -draw 'line 11,8 8,11' \
  -fill white $ink '#404040' -draw 'rectangle 4,11 11,15'
# Home page: a house.
glyph home -fill '#c0392b' -stroke '#7b1f16' -draw 'polygon 1,8 8,1 15,8' \
  -fill '#f0e0b0' -stroke '#7b5a1f' -draw 'rectangle 3,8 13,14' -fill '#7b5a1f' -stroke none \
  -draw 'rectangle 7,10 9,14'
# About: an "i" in a blue disc.
glyph about -fill '#2b6cc4' -stroke '#15407a' -draw 'circle 7.5,7.5 7.5,0.5' -fill white \
  -stroke none -draw 'rectangle 7,6 8,12' -draw 'rectangle 7,3 8,4'
# Exit: a door with an arrow leaving it.
glyph exit -fill '#a0703a' -stroke '#5a3a1a' -draw 'rectangle 1,1 8,14' -fill '#f0d040' \
  -stroke none -draw 'rectangle 6,7 7,8' -stroke '#c02020' -strokewidth 2 \
  -draw 'line 8,8 13,8' -fill '#c02020' -stroke none -draw 'polygon 12,4 16,8 12,12'

# --- Application icon ---------------------------------------------------------------------
tools/make_icons.sh >/dev/null
