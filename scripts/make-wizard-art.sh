#!/usr/bin/env bash
# Draws Lintel Wizard's icon, check boxes, side pictures and the pieces of the
# position preview with ImageMagick.  The files are committed; run this only
# to change them.
set -euo pipefail
out=${1:-resources/wizard}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The icon: a toolbar with a magic wand over it.
icon() {  # size output
  local size=$1 s=$(($1 / 16))
  convert -size ${size}x${size} xc:none \
    -fill '#2050c0' -stroke black -strokewidth $s \
    -draw "roundrectangle $((1*s)),$((9*s)) $((15*s-1)),$((15*s-1)) $((1*s)),$((1*s))" \
    -stroke none -fill '#f0c000' -draw "rectangle $((3*s)),$((11*s)) $((5*s-1)),$((13*s-1))" \
    -fill '#30b030' -draw "rectangle $((7*s)),$((11*s)) $((9*s-1)),$((13*s-1))" \
    -stroke '#604000' -strokewidth $((2*s)) -draw "line $((4*s)),$((8*s)) $((11*s)),$((2*s))" \
    -stroke none -fill '#ffe040' -draw "circle $((12*s)),$((2*s)) $((13*s+s/2)),$((2*s))" \
    "$2"
}
icon 16 "$tmp/i16.png"; icon 32 "$tmp/i32.png"; icon 48 "$tmp/i48.png"
convert "$tmp/i48.png" "$tmp/i32.png" "$tmp/i16.png" "$out/wizard.ico"

# 13x13 check boxes (111 unchecked, 112 checked).
convert -size 13x13 xc:white -fill none -stroke '#404040' -draw "rectangle 0,0 12,12" \
  -type TrueColor BMP3:"$out/unchecked.bmp"
convert -size 13x13 xc:white -fill none -stroke '#404040' -draw "rectangle 0,0 12,12" \
  -stroke black -strokewidth 2 -draw "polyline 3,6 5,9 10,3" -type TrueColor BMP3:"$out/checked.bmp"

# Side pictures, 100x150 on a soft gradient, each with a motif of its page.
side() {  # output draw-arguments...
  local o=$1; shift
  convert -size 100x150 gradient:'#dfe9ff'-'#7f9fd8' -stroke '#203060' -strokewidth 1 "$@" \
    -type TrueColor BMP3:"$o"
}
side "$out/welcome.bmp" -fill '#2050c0' -draw "roundrectangle 20,60 80,80 4,4" \
  -fill '#f0c000' -draw "rectangle 26,64 37,75" -fill '#30b030' -draw "rectangle 44,64 55,75" \
  -fill '#d04040' -draw "rectangle 62,64 73,75" \
  -stroke '#604000' -strokewidth 4 -draw "line 30,50 64,20" -stroke none -fill '#ffe040' -draw "circle 68,17 74,17"
side "$out/style.bmp" -fill white -draw "rectangle 15,30 45,60" -draw "rectangle 55,35 80,60" \
  -draw "rectangle 15,75 35,95" -fill '#2050c0' -draw "rectangle 22,37 38,53" -draw "rectangle 61,41 74,54" \
  -draw "rectangle 19,79 31,91" -fill black -draw "rectangle 45,83 85,86"
side "$out/search.bmp" -fill '#c8e8ff' -strokewidth 4 -draw "circle 45,60 45,35" -draw "line 63,78 85,105"
side "$out/choose.bmp" -fill white -strokewidth 1 \
  -draw "rectangle 20,35 32,47" -draw "rectangle 20,60 32,72" -draw "rectangle 20,85 32,97" \
  -strokewidth 2 -draw "polyline 22,41 26,45 31,37" -draw "polyline 22,91 26,95 31,87" \
  -strokewidth 1 -fill black -draw "rectangle 40,40 80,42" -draw "rectangle 40,65 75,67" -draw "rectangle 40,90 78,92"
side "$out/finished.bmp" -fill '#30b030' -strokewidth 1 -draw "circle 50,70 50,35" \
  -stroke white -strokewidth 7 -fill none -draw "polyline 33,70 46,84 68,55"

# The position preview: a 100x100 screen (119), and the toolbar drawn on it,
# 6x30 standing (120) and 30x6 lying (121).
convert -size 100x100 xc:'#c0c0c0' -fill '#303030' -stroke black -draw "roundrectangle 8,10 92,78 4,4" \
  -fill '#208080' -stroke none -draw "rectangle 14,16 86,72" \
  -fill '#808080' -draw "polygon 40,78 60,78 66,90 34,90" -draw "rectangle 24,90 76,94" \
  -type TrueColor BMP3:"$out/screen.bmp"
convert -size 6x30 xc:'#2050c0' -fill '#f0c000' -draw "rectangle 1,2 4,5" -fill '#30b030' -draw "rectangle 1,8 4,11" \
  -fill '#d04040' -draw "rectangle 1,14 4,17" -fill white -draw "rectangle 1,20 4,23" -type TrueColor BMP3:"$out/vertical.bmp"
convert -size 30x6 xc:'#2050c0' -fill '#f0c000' -draw "rectangle 2,1 5,4" -fill '#30b030' -draw "rectangle 8,1 11,4" \
  -fill '#d04040' -draw "rectangle 14,1 17,4" -fill white -draw "rectangle 20,1 23,4" -type TrueColor BMP3:"$out/horizontal.bmp"
