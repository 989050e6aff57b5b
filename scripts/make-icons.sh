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
