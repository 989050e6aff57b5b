#!/usr/bin/env bash
# Draws Lintel Tips' icon, pictures and hot cursor with ImageMagick.  The
# files are committed; run this only to change them.
set -euo pipefail
out=${1:-resources/tips}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A light bulb, lit: the icon at three sizes and the Tip of the Day picture.
bulb() {  # size background output
  local size=$1 s=$(($1 / 16))
  convert -size ${size}x${size} xc:"$2" \
    -fill '#fff27a' -stroke '#806000' -strokewidth $s -draw "circle $((8*s)),$((6*s)) $((8*s)),$((1*s))" \
    -fill '#ffffd0' -stroke none -draw "circle $((6*s)),$((4*s)) $((6*s)),$((3*s))" \
    -fill '#a0a0a0' -stroke '#404040' -strokewidth $s \
    -draw "rectangle $((5*s)),$((10*s)) $((11*s-1)),$((14*s-1))" \
    -draw "line $((5*s)),$((12*s)) $((11*s-1)),$((12*s))" \
    "$3"
}
bulb 16 none "$tmp/i16.png"
bulb 32 none "$tmp/i32.png"
bulb 48 none "$tmp/i48.png"
convert "$tmp/i48.png" "$tmp/i32.png" "$tmp/i16.png" "$out/tips.ico"
bulb 48 white "$tmp/bulb.png"
convert "$tmp/bulb.png" -type TrueColor BMP3:"$out/bulb.bmp"

# A lesson: an open book; a lesson taken: the same book, greyed, with a tick.
book() {  # paper ink output
  convert -size 32x32 xc:white \
    -fill "$1" -stroke "$2" -strokewidth 1 \
    -draw "polygon 2,7 15,9 15,28 2,26" -draw "polygon 29,7 16,9 16,28 29,26" \
    -stroke "$2" -draw "line 5,13 12,14" -draw "line 5,17 12,18" -draw "line 5,21 12,22" \
    -draw "line 19,14 26,13" -draw "line 19,18 26,17" -draw "line 19,22 26,21" "$3"
}
book '#d8e8ff' '#103080' "$tmp/lesson.png"
convert "$tmp/lesson.png" -type TrueColor BMP3:"$out/lesson.bmp"
book '#e8e8e8' '#808080' "$tmp/taken.png"
convert "$tmp/taken.png" -fill none -stroke '#108010' -strokewidth 3 -draw "polyline 17,18 22,24 30,6" \
  -type TrueColor BMP3:"$out/lesson-taken.bmp"

# The hand over hot texts, its hot spot on the fingertip (9, 1 of 32).
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
