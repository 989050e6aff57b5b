#!/usr/bin/env bash
# Draws the Internet address buttons' icons (one per kind of address) with
# ImageMagick, at 48, 32 and 16 pixels.  The .ico files are committed; run
# this only to change them.  Each picture is drawn on a 16-unit grid and
# scaled for the larger sizes.
set -euo pipefail
out=${1:-resources/lintel}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# icon FILE DRAW-FUNCTION: the function gets the scale and an output file.
icon() {
  local file=$1 draw=$2 pngs=()
  for size in 48 32 16; do
    "$draw" $((size / 16)) "$tmp/$size.png"
    pngs+=("$tmp/$size.png")
  done
  convert "${pngs[@]}" "$out/$file"
}

canvas() { local s=$1; shift; convert -size $((16 * s))x$((16 * s)) xc:none -strokewidth 1 "$@"; }

# Any other address: a page with a blue link chain across it.
other() {
  local s=$1
  canvas "$s" -fill white -stroke '#404040' \
    -draw "scale $s,$s polygon 3,1 10,1 13,4 13,15 3,15" \
    -fill '#c0c0c0' -draw "scale $s,$s polygon 10,1 10,4 13,4" \
    -fill none -stroke '#2050c0' \
    -draw "scale $s,$s roundrectangle 4,7 9,10 1.5,1.5" \
    -draw "scale $s,$s roundrectangle 7,10 12,13 1.5,1.5" "$2"
}

# The web: a blue globe with green land and its lines of latitude.
web() {
  local s=$1
  canvas "$s" -fill '#3070e0' -stroke '#103070' -draw "scale $s,$s circle 8,8 8,1" \
    -stroke none -fill '#30a030' \
    -draw "scale $s,$s polygon 4,4 8,3 9,6 6,8 7,11 5,12 3,8" \
    -draw "scale $s,$s polygon 10,9 13,8 13,11 11,13" \
    -fill none -stroke '#c8e0ff' \
    -draw "scale $s,$s ellipse 8,8 3,7 0,360" -draw "scale $s,$s line 1,8 15,8" "$2"
}

# File transfer: a yellow folder with a green arrow down into it.
ftp() {
  local s=$1
  canvas "$s" -fill '#f0c000' -stroke '#806000' \
    -draw "scale $s,$s polygon 1,5 6,5 7,6 15,6 15,14 1,14" \
    -fill '#20a020' -stroke '#005000' \
    -draw "scale $s,$s polygon 6,1 10,1 10,6 12,6 8,10 4,6 6,6" "$2"
}

# Mail: a white envelope with its flap.
mail() {
  local s=$1
  canvas "$s" -fill white -stroke '#404040' -draw "scale $s,$s rectangle 1,3 15,13" \
    -fill '#e8e8e8' -draw "scale $s,$s polygon 1,3 8,9 15,3" \
    -fill none -stroke '#d02020' -draw "scale $s,$s line 1,13 6,8" -draw "scale $s,$s line 15,13 10,8" "$2"
}

# News: a folded newspaper with a headline and columns.
news() {
  local s=$1
  canvas "$s" -fill '#f4f4e8' -stroke '#404040' -draw "scale $s,$s rectangle 1,2 15,14" \
    -stroke none -fill black -draw "scale $s,$s rectangle 3,4 13,6" \
    -fill '#808080' -draw "scale $s,$s rectangle 3,8 7,8" -draw "scale $s,$s rectangle 3,10 7,10" \
    -draw "scale $s,$s rectangle 3,12 7,12" -draw "scale $s,$s rectangle 9,8 13,8" \
    -draw "scale $s,$s rectangle 9,10 13,10" -draw "scale $s,$s rectangle 9,12 13,12" "$2"
}

icon address-other.ico other
icon address-web.ico web
icon address-ftp.ico ftp
icon address-mail.ico mail
icon address-news.ico news
