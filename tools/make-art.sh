#!/usr/bin/env bash
# Draws the window's pictures as 24-bit bitmaps into resources/art/, at 100 %, 150 % and
# 200 % (name.bmp, name_150.bmp, name_200.bmp), and the icon. Every picture is drawn from
# its 100 % coordinates, scaled, so each size is sharp. Run by hand after changing the
# artwork; the results are committed. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
out=resources/art
mkdir -p "$out"
BG='rgb(220,220,220)'
FONT=DejaVu-Sans-Bold

# One size: H is the scale in halves (2, 3 or 4), SUFFIX the file name's ending.
draw_all() {
H=$1 SUFFIX=$2
local S
S=$(awk "BEGIN { print $H / 2 }")
px() { echo $(( ($1 * H + 1) / 2 )); }     # a length at this scale, rounded up at a half
sz() { echo "$(px "$1")x$(px "$2")"; }
pt() { awk "BEGIN { print $1 * $H / 2 }"; }  # a text size or offset at this scale
save() { local name=$1; shift; convert "$@" -alpha off -type TrueColor "BMP3:$out/$name$SUFFIX.bmp"; }
# A picture of few colours (the background's 40 or so), kept exactly in 8 bits: a third of the bytes.
save_few() { local name=$1; shift; convert "$@" -alpha off +dither -type Palette -compress None "BMP3:$out/$name$SUFFIX.bmp"; }
sc="scale $S,$S"

# Background: light grey field in a darker rounded frame, white outside the corners.
save_few background -size "$(sz 503 480)" xc:white \
  -fill 'rgb(150,150,158)' -draw "$sc roundrectangle 0,0 502,478 15,15" \
  -fill "$BG" -draw "$sc roundrectangle 3,3 499,475 13,13" \
  -fill 'rgb(205,205,212)' -draw "$sc rectangle 14,440 488,441" \
  -fill 'rgb(205,205,212)' -draw "$sc rectangle 14,72 14,72"

# Logo: a film frame mark, the name and a line under it.
save logo -size "$(sz 231 53)" xc:"$BG" \
  -fill 'rgb(108,52,170)' -draw "$sc roundrectangle 0,2 25,27 5,5" \
  -fill white -draw "$sc rectangle 5,8 20,21" -fill 'rgb(108,52,170)' -draw "$sc polygon 10,11 10,18 16,14" \
  -font "$FONT" -pointsize "$(pt 20)" -fill 'rgb(60,30,110)' -annotate "+$(pt 31)+$(pt 23)" 'Mervane' \
  -font DejaVu-Sans -pointsize "$(pt 10)" -fill 'rgb(90,90,100)' -annotate "+$(pt 1)+$(pt 43)" 'MP4 to MPEG video converter'

save caption -size "$(sz 148 33)" xc:"$BG" -font "$FONT" -pointsize "$(pt 17)" -fill 'rgb(108,52,170)' \
  -gravity east -annotate "+$(pt 6)+0" 'Convert to:'

# Small window buttons: an orange rounded square in the top 21 rows; the bottom two rows
# and the corners stay background grey, so the button's shape is cut along them.
small() { # name fill outline symbol-offset symbol
  local name=$1 fill=$2 outline=$3 dy=$4 symbol=$5
  local draw
  if [ "$symbol" = bar ]; then draw="rectangle 6,$((13+dy)) 16,$((15+dy))"
  else draw="line 7,$((6+dy)) 15,$((14+dy)) line 15,$((6+dy)) 7,$((14+dy))"; fi
  save "$name" -size "$(sz 23 23)" xc:"$BG" -fill "$outline" -draw "$sc roundrectangle 0,0 22,20 5,5" \
    -fill "$fill" -draw "$sc roundrectangle 1,1 21,19 4,4" \
    -stroke white -strokewidth "$(pt 2)" -fill white -draw "$sc $draw"
}
small min_idle 'rgb(240,128,32)' 'rgb(200,98,18)' 0 bar
small min_hover 'rgb(255,158,62)' 'rgb(255,214,0)' 0 bar
small min_down 'rgb(222,112,22)' 'rgb(180,84,10)' 1 bar
small close_idle 'rgb(240,128,32)' 'rgb(200,98,18)' 0 cross
small close_hover 'rgb(255,158,62)' 'rgb(255,214,0)' 0 cross
small close_down 'rgb(222,112,22)' 'rgb(180,84,10)' 1 cross

# Convert button: a purple rounded square with a white film strip; pressed is two rows taller.
convert_btn() { # name height fill outline symbol-offset
  local name=$1 h=$2 fill=$3 outline=$4 dy=$5
  local top=$((h-41))
  save "$name" -size "$(sz 41 "$h")" xc:"$BG" -fill "$outline" -draw "$sc roundrectangle 0,$top 40,$((h-1)) 8,8" \
    -fill "$fill" -draw "$sc roundrectangle 1,$((top+1)) 39,$((h-2)) 7,7" \
    -fill white -draw "$sc rectangle 10,$((11+dy+top)) 30,$((29+dy+top))" \
    -fill "$fill" -draw "$sc rectangle 14,$((15+dy+top)) 26,$((25+dy+top))" \
    -fill "$fill" -draw "$sc rectangle 11,$((12+dy+top)) 12,$((13+dy+top)) rectangle 11,$((16+dy+top)) 12,$((17+dy+top)) rectangle 11,$((20+dy+top)) 12,$((21+dy+top)) rectangle 11,$((24+dy+top)) 12,$((25+dy+top)) rectangle 28,$((12+dy+top)) 29,$((13+dy+top)) rectangle 28,$((16+dy+top)) 29,$((17+dy+top)) rectangle 28,$((20+dy+top)) 29,$((21+dy+top)) rectangle 28,$((24+dy+top)) 29,$((25+dy+top))"
}
convert_btn convert_idle 41 'rgb(118,60,184)' 'rgb(84,36,140)' 0
convert_btn convert_hover 41 'rgb(146,88,214)' 'rgb(255,214,0)' 0
convert_btn convert_down 43 'rgb(100,48,162)' 'rgb(70,28,120)' 2
}
draw_all 2 ''
draw_all 3 _150
draw_all 4 _200

# The icon: the convert button's film strip at 32, 24 and 16 pixels, 256 colours and 32-bit.
for s in 32 24 16; do
  convert -size 64x64 xc:none -fill 'rgb(118,60,184)' -draw 'roundrectangle 1,1 62,62 12,12' \
    -fill white -draw 'rectangle 16,16 47,47' -fill 'rgb(118,60,184)' -draw 'rectangle 22,22 41,41' \
    -resize ${s}x${s} -depth 8 "rgba:$out/icon$s.rgba"
done
python3 tools/make-icon.py "$out" resources/mervane.ico
rm -f "$out"/icon*.rgba
echo "pictures written to $out"
