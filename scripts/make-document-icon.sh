#!/usr/bin/env bash
# Draws the icon of toolbar files (.ltl, .qld): a page with a folded corner
# and the program's little toolbar on it, in 16, 32, 48 and 256 pixels (the
# 256 frame is stored as PNG, as the shell expects of large frames).
# The .ico file is committed; run this only to change it.
#   scripts/make-document-icon.sh [FOLDER]     (default: resources/lintel)
set -euo pipefail
out=${1:-resources/lintel}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Drawn on a grid of 16 units, s pixels a unit.  ImageMagick puts pixel
# centres on whole coordinates: an outline w pixels wide lies exactly on its
# pixels when its centre line is (w - 1) / 2 inside the unit's edge.
draw() {  # size output
  local size=$1 file=$2
  local s=$((size / 16))
  local w=$(( s > 1 ? s : 1 ))
  local h=$(echo "($w - 1) / 2" | bc -l)
  p() { echo "$(echo "$1 * $s + $h" | bc -l)"; }   # a unit on the grid, in pixels
  convert -size ${size}x${size} xc:none -strokewidth $w \
    -fill white -stroke '#505050' \
    -draw "polygon $(p 2),$(p 0) $(p 10),$(p 0) $(p 13),$(p 3) $(p 13),$(p 15) $(p 2),$(p 15)" \
    -fill '#d0d0d0' \
    -draw "polygon $(p 10),$(p 0) $(p 10),$(p 3) $(p 13),$(p 3)" \
    -fill '#2050c0' -stroke '#102860' \
    -draw "rectangle $(p 3),$(p 5) $(p 12),$(p 10)" \
    -stroke none \
    -fill '#f0c000' -draw "rectangle $((4*s)),$((7*s)) $((6*s-1)),$((9*s-1))" \
    -fill '#30b030' -draw "rectangle $((7*s)),$((7*s)) $((8*s-1)),$((9*s-1))" \
    -fill '#e04040' -draw "rectangle $((9*s)),$((7*s)) $((11*s-1)),$((9*s-1))" \
    -fill '#a0a0a0' \
    -draw "rectangle $((4*s)),$((12*s)) $((11*s-1)),$((12*s+w-1))" \
    "$file"
}

for size in 16 32 48 256; do
  draw $size "$tmp/document$size.png"
done
convert -depth 8 "$tmp/document256.png" "$tmp/document48.png" "$tmp/document32.png" "$tmp/document16.png" \
  "$out/document.ico"
