#!/usr/bin/env bash
# Draws Lintel Explorer's icon, toolbar bitmap and check-box bitmaps with
# ImageMagick.  The files are committed; run this only to change them.
set -euo pipefail
out=${1:-resources/explorer}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The icon: a magnifying glass over a small toolbar.
icon() {  # size output
  local size=$1 s=$(($1 / 16))
  convert -size ${size}x${size} xc:none \
    -fill '#2050c0' -stroke black -strokewidth $s \
    -draw "roundrectangle $((1*s)),$((9*s)) $((15*s-1)),$((15*s-1)) $((1*s)),$((1*s))" \
    -stroke none -fill '#f0c000' -draw "rectangle $((3*s)),$((11*s)) $((5*s-1)),$((13*s-1))" \
    -fill '#30b030' -draw "rectangle $((7*s)),$((11*s)) $((9*s-1)),$((13*s-1))" \
    -fill '#c8e8ff' -stroke black -strokewidth $s -draw "circle $((6*s)),$((5*s)) $((10*s)),$((5*s))" \
    -strokewidth $((2*s)) -draw "line $((9*s)),$((8*s)) $((13*s)),$((11*s))" \
    "$2"
}
icon 16 "$tmp/i16.png"
icon 32 "$tmp/i32.png"
icon 48 "$tmp/i48.png"
convert "$tmp/i48.png" "$tmp/i32.png" "$tmp/i16.png" "$out/explorer.ico"

# Ten 16x15 toolbar images on light grey, which the toolbar maps to the
# button face colour.
g() { convert -size 16x15 xc:'#c0c0c0' "$@"; }
g -fill '#f0c000' -stroke '#806000' -draw "polygon 1,4 6,4 7,5 14,5 14,13 1,13" "$tmp/t0.png"
g -fill '#20a020' -stroke '#005000' -draw "polygon 4,2 13,7 4,12" "$tmp/t1.png"
g -fill '#d02020' -stroke '#600000' -draw "rectangle 3,3 12,11" "$tmp/t2.png"
g -fill white -stroke black -draw "rectangle 1,1 8,10" -draw "rectangle 6,4 13,13" "$tmp/t3.png"
g -fill '#2050c0' -stroke black -draw "rectangle 1,7 10,12" -stroke '#008000' -strokewidth 2 \
  -draw "line 12,1 12,7" -draw "line 9,4 15,4" "$tmp/t4.png"
g -fill '#2050c0' -stroke black -draw "rectangle 1,1 6,6" -draw "rectangle 9,1 14,6" \
  -draw "rectangle 1,8 6,13" -draw "rectangle 9,8 14,13" "$tmp/t5.png"
g -fill '#2050c0' -stroke none -draw "rectangle 1,2 3,4" -draw "rectangle 9,2 11,4" \
  -draw "rectangle 1,9 3,11" -draw "rectangle 9,9 11,11" -fill black \
  -draw "rectangle 4,3 7,3" -draw "rectangle 12,3 15,3" -draw "rectangle 4,10 7,10" -draw "rectangle 12,10 15,10" "$tmp/t6.png"
g -fill '#2050c0' -stroke none -draw "rectangle 1,2 3,4" -draw "rectangle 1,6 3,8" -draw "rectangle 1,10 3,12" \
  -fill black -draw "rectangle 5,3 13,3" -draw "rectangle 5,7 13,7" -draw "rectangle 5,11 13,11" "$tmp/t7.png"
g -fill white -stroke black -draw "rectangle 1,1 14,13" -draw "line 1,4 14,4" -draw "line 6,1 6,13" \
  -draw "line 1,7 14,7" -draw "line 1,10 14,10" "$tmp/t8.png"
g -fill '#ffff80' -stroke black -draw "circle 7,7 7,1" -fill '#2050c0' -stroke none -pointsize 11 -font DejaVu-Sans-Bold \
  -draw "text 4,11 '?'" "$tmp/t9.png"
convert "$tmp"/t{0,1,2,3,4,5,6,7,8,9}.png +append -type TrueColor BMP3:"$out/toolbar.bmp"

# The File Types dialog's 13x13 check boxes.
convert -size 13x13 xc:white -fill none -stroke '#404040' -draw "rectangle 0,0 12,12" \
  -type TrueColor BMP3:"$out/unchecked.bmp"
convert -size 13x13 xc:white -fill none -stroke '#404040' -draw "rectangle 0,0 12,12" \
  -stroke black -strokewidth 2 -draw "polyline 3,6 5,9 10,3" -type TrueColor BMP3:"$out/checked.bmp"
