#!/usr/bin/env bash
# Draws the program menu's icons and the About box's hand cursor with
# ImageMagick.  The .ico and .cur files are committed; run this only to change
# them.  Every picture is drawn on a 16-unit grid and scaled for the larger sizes.
set -euo pipefail
out=${1:-resources/lintel}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# icon FILE SIZES DRAW...: one picture per size, each drawn from the same
# primitives (in 16ths of the size), gathered into FILE.
icon() {
  local file=$1 sizes=$2; shift 2
  local pngs=()
  for size in $sizes; do
    local s=$((size / 16))
    local args=()
    for primitive in "$@"; do
      case $primitive in
        fill=*) args+=(-fill "${primitive#fill=}") ;;
        stroke=*) args+=(-stroke "${primitive#stroke=}") ;;
        width=*) args+=(-strokewidth "${primitive#width=}") ;;  # the scale below widens it
        font=*) args+=(-font "${primitive#font=}") ;;
        points=*) args+=(-pointsize "${primitive#points=}") ;;   # also widened by the scale
        *) args+=(-draw "scale $s,$s $primitive") ;;
      esac
    done
    convert -size ${size}x${size} xc:none -stroke none "${args[@]}" "$tmp/$size.png"
    pngs=("$tmp/$size.png" "${pngs[@]}")
  done
  convert "${pngs[@]}" "$out/$file"
}

# A little horizontal toolbar at a given offset (used by several pictures),
# left in the array BAR.
bar() {  # x y frame
  local x=$1 y=$2 frame=$3
  BAR=("fill=$frame" "stroke=black" "width=1"
    "roundrectangle $x.5,$y.5 $((x + 12)).5,$((y + 5)).5 1,1" "stroke=none"
    "fill=#f0c000" "rectangle $((x + 2)),$((y + 2)) $((x + 3)),$((y + 4))"
    "fill=#30b030" "rectangle $((x + 5)),$((y + 2)) $((x + 6)),$((y + 4))"
    "fill=#e04040" "rectangle $((x + 8)),$((y + 2)) $((x + 9)),$((y + 4))")
}

# 118: no icon (and a button whose target is gone): a blank page struck through.
icon noicon.ico "16 32 48" \
  "fill=white" "stroke=#606060" "width=1" "polygon 3.5,1.5 10.5,1.5 13.5,4.5 13.5,14.5 3.5,14.5" \
  "fill=none" "polyline 10.5,1.5 10.5,4.5 13.5,4.5" \
  "stroke=#d02020" "width=2" "line 1,9 7,15" "line 7,9 1,15"

# 139 Show: an open eye.
icon menu-show.ico "16 32" \
  "fill=white" "stroke=black" "width=1" "ellipse 8,8 6.5,4 0,360" \
  "stroke=none" "fill=#2050c0" "circle 8,8 8,10.5" "fill=black" "circle 8,8 8,9"

# 140 Hide: a closed eye.
icon menu-hide.ico "16 32" \
  "fill=none" "stroke=black" "width=1" "arc 1.5,2 14.5,10 30,150" \
  "line 4,9 3,12" "line 8,10 8,13" "line 12,9 13,12"

# 141 Bring to front: two windows, the front one in colour.
icon menu-front.ico "16 32" \
  "fill=#c0c0c0" "stroke=#606060" "width=1" "rectangle 1.5,1.5 9.5,8.5" \
  "fill=white" "stroke=black" "rectangle 5.5,6.5 14.5,14.5" \
  "stroke=none" "fill=#2050c0" "rectangle 6,7 14,9"

# 142 Exit Lintel: a door with an arrow leaving it.
icon menu-exit.ico "16 32" \
  "fill=#a06030" "stroke=black" "width=1" "rectangle 2.5,1.5 9.5,14.5" \
  "stroke=none" "fill=#f0c000" "rectangle 7,8 8,9" \
  "fill=#d02020" "polygon 10,5 15,8.5 10,12"

# 161 About: an "i" in a blue disc.
icon menu-about.ico "16 32" \
  "fill=#2050c0" "stroke=#103070" "width=1" "circle 8,8 8,1" \
  "stroke=none" "fill=white" "rectangle 7,7 9,12" "rectangle 7,4 9,5"

# 162 Launch Lintel Explorer: a folder under a magnifying glass.
icon menu-explorer.ico "16 32" \
  "fill=#f0c000" "stroke=#806000" "width=1" "polygon 0.5,3.5 5.5,3.5 6.5,4.5 11.5,4.5 11.5,11.5 0.5,11.5" \
  "fill=#d0ecff" "stroke=black" "circle 10.5,10.5 10.5,7.5" \
  "width=2" "line 12.5,12.5 15,15"

# 168 Options and Properties: a check list.
icon menu-options.ico "16 32" \
  "fill=white" "stroke=black" "width=1" "rectangle 1.5,1.5 14.5,14.5" \
  "stroke=#208020" "line 3,5 4,6" "line 4,6 6,3" "line 3,10 4,11" "line 4,11 6,8" \
  "stroke=#2050c0" "line 8,5 13,5" "line 8,10 13,10"

# 169 Close: a window struck through in red.
icon menu-close.ico "16 32" \
  "fill=white" "stroke=black" "width=1" "rectangle 1.5,2.5 14.5,13.5" \
  "stroke=none" "fill=#2050c0" "rectangle 2,3 14,5" \
  "stroke=#d02020" "width=2" "line 5,7 11,13" "line 11,7 5,13"

# 170 All toolbars: two toolbars, one above the other.
bar 0 2 '#909090'; back=("${BAR[@]}")
bar 3 9 '#2050c0'
icon menu-all.ico "16 32" "${back[@]}" "${BAR[@]}"

# 171 New toolbar: a toolbar with a yellow star.
bar 0 9 '#2050c0'
icon menu-new.ico "16 32" "${BAR[@]}" \
  "fill=#f0c000" "stroke=#806000" "width=1" \
  "polygon 11,0.5 12.2,3.5 15.5,3.5 12.8,5.5 13.8,8.5 11,6.7 8.2,8.5 9.2,5.5 6.5,3.5 9.8,3.5"

# 172 Open toolbar: an open folder with a toolbar in it.
bar 2 5 '#2050c0'
icon menu-open.ico "16 32" \
  "fill=#f0c000" "stroke=#806000" "width=1" "polygon 0.5,2.5 5.5,2.5 6.5,3.5 13.5,3.5 13.5,13.5 0.5,13.5" \
  "${BAR[@]}" \
  "fill=#ffe070" "stroke=#806000" "width=1" "polygon 0.5,13.5 3.5,8.5 15.5,8.5 13.5,13.5"

# 173 Help: a question mark in a green disc.
icon menu-help.ico "16 32" \
  "fill=#30a030" "stroke=#106010" "width=1" "circle 8,8 8,1" \
  "stroke=none" "fill=white" "font=Helvetica-Bold" "points=12" "text 4.6,12.5 '?'"

# 179 Getting Started: a green flag.
icon menu-start.ico "16 32" \
  "stroke=black" "width=1" "line 3.5,1 3.5,15" \
  "stroke=#106010" "fill=#30b030" "polygon 4,1.5 14,4.5 4,8.5"

# 180 Tip of the Day: a light bulb.
icon menu-tip.ico "16 32" \
  "fill=#fff060" "stroke=#806000" "width=1" "circle 8,6 8,1.5" \
  "fill=#a0a0a0" "stroke=#404040" "rectangle 5.5,10.5 10.5,14.5" \
  "line 5.5,12.5 10.5,12.5"

# 150: the hand over link texts, its hot spot on the fingertip (9, 1 of 32).
convert -size 32x32 xc:none +antialias -fill white -stroke black -strokewidth 1 \
  -draw "path 'M 7.5,15.5 L 7.5,2.5 Q 9,0.5 11.5,2.5 L 11.5,10.5 Q 12.5,8.5 13.5,10.5 L 13.5,11.5 Q 15,9.5 16.5,11.5 L 16.5,12.5 Q 18,10.5 19.5,12.5 L 19.5,19.5 L 17.5,24.5 L 9.5,24.5 L 3.5,17.5 Q 2.5,14.5 5.5,15.5 Z'" \
  -draw "line 11.5,10.5 11.5,14" -draw "line 13.5,11.5 13.5,14" -draw "line 16.5,12.5 16.5,14" \
  "$tmp/hand.png"
convert "$tmp/hand.png" ICO:"$tmp/hand.ico"
# A cursor file is an icon file of type 2 whose entries keep the hot spot
# where an icon keeps its planes and bit count.
cp "$tmp/hand.ico" "$out/hand.cur"
printf '\x02' | dd of="$out/hand.cur" bs=1 seek=2 conv=notrunc status=none
printf '\x09\x00\x01\x00' | dd of="$out/hand.cur" bs=1 seek=10 conv=notrunc status=none
