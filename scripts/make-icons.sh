#!/usr/bin/env bash
# Draws the program's icons (a small toolbar of three buttons) with ImageMagick.
# The .ico files are committed; run this only to change them.
set -euo pipefail
out=${1:-resources/lintel}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

draw() {  # size frame-colour button-colours... output
  local size=$1 frame=$2 b1=$3 b2=$4 b3=$5 file=$6
  local s=$((size / 16))
  convert -size ${size}x${size} xc:none \
    -fill "$frame" -stroke black -strokewidth $s \
    -draw "roundrectangle $((1*s)),$((4*s)) $((15*s-1)),$((12*s-1)) $((2*s)),$((2*s))" \
    -stroke none -fill white -draw "rectangle $((2*s)),$((5*s)) $((3*s-1)),$((6*s-1))" \
    -fill "$b1" -draw "rectangle $((4*s)),$((6*s)) $((6*s-1)),$((10*s-1))" \
    -fill "$b2" -draw "rectangle $((7*s)),$((6*s)) $((9*s-1)),$((10*s-1))" \
    -fill "$b3" -draw "rectangle $((10*s)),$((6*s)) $((12*s-1)),$((10*s-1))" \
    "$file"
}

draw 16 '#2050c0' '#f0c000' '#30b030' '#e04040' "$tmp/shown16.png"
draw 32 '#2050c0' '#f0c000' '#30b030' '#e04040' "$tmp/shown32.png"
draw 16 '#909090' '#c8c8c8' '#b0b0b0' '#d8d8d8' "$tmp/hidden16.png"
draw 32 '#909090' '#c8c8c8' '#b0b0b0' '#d8d8d8' "$tmp/hidden32.png"
convert "$tmp/shown32.png" "$tmp/shown16.png" "$out/lintel.ico"
convert "$tmp/hidden32.png" "$tmp/hidden16.png" "$out/hidden.ico"

# The drop-target overlay of every toolbar's image lists.
overlay() {  # size output draw...
  local size=$1 file=$2; shift 2
  convert -size ${size}x${size} xc:none "$@" "$file"
}
for size in 16 32 48; do
  s=$((size / 16))
  overlay $size "$tmp/drop$size.png" -fill '#00a000' -stroke black -strokewidth 1 \
    -draw "polygon $((10*s)),$((8*s)) $((15*s)),$((12*s)) $((10*s)),$((16*s-1))"
done
convert "$tmp/drop48.png" "$tmp/drop32.png" "$tmp/drop16.png" "$out/drop.ico"

# The two 13x13 menu buttons of a toolbar: a small down arrow (toolbar menu)
# and the program's toolbar mark (program menu), 24-bit BMP.
convert -size 13x13 xc:'#c0c0c0' -fill black -draw "polygon 3,5 9,5 6,8" BMP3:"$out/toolbarmenu.bmp"
convert -size 13x13 xc:'#c0c0c0' -fill '#2050c0' -draw "rectangle 1,3 11,9" \
  -fill '#f0c000' -draw "rectangle 3,5 4,7" -fill '#30b030' -draw "rectangle 6,5 7,7" \
  -fill '#e04040' -draw "rectangle 9,5 10,7" BMP3:"$out/programmenu.bmp"
