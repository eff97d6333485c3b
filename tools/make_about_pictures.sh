#!/usr/bin/env bash
# Draws the About window's two pictures into data/pictures/:
#   about_program.jpg  66 x 46, the product picture (a phone under a magnifier) on white,
#                      which the window keys out as transparent
#   about_banner.jpg  188 x 18, the banner line
# Needs ImageMagick's convert and the WenQuanYi Zen Hei font (tools/setup.sh installs both).
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/pictures
mkdir -p "$out"
font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc

convert -size 66x46 xc:white \
  -fill '#1f4e9c' -stroke '#10305f' -strokewidth 1 -draw 'roundrectangle 8,3 30,43 4,4' \
  -fill '#cfe3ff' -stroke none -draw 'rectangle 11,8 27,34' \
  -fill '#10305f' -draw 'circle 19,39 19,41' \
  -fill '#2e7d32' -draw 'rectangle 13,11 25,13' -draw 'rectangle 13,17 22,19' \
  -draw 'rectangle 13,23 24,25' \
  -fill none -stroke '#c62828' -strokewidth 4 -draw 'circle 42,20 42,32' \
  -stroke '#c62828' -strokewidth 6 -draw 'line 50,29 61,41' \
  -fill '#ffffff80' -stroke none -draw 'circle 42,20 42,29' \
  -quality 92 -strip "$out/about_program.jpg"

convert -size 188x18 gradient:'#0d47a1-#42a5f5' -rotate -90 -resize '188x18!' \
  -font "$font" -pointsize 12 -fill white -gravity center \
  -annotate +0+0 '手机号码段归属地批量查询' \
  -quality 92 -strip "$out/about_banner.jpg"

identify "$out/about_program.jpg" "$out/about_banner.jpg"
