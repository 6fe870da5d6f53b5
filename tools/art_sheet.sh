#!/usr/bin/env bash
# One picture of the artwork to look at: the preview picture and the six button skins side by
# side, each enlarged twice with hard pixel edges and named below.
# Usage: tools/art_sheet.sh [output.png]   (default build/art-sheet.png; needs ImageMagick)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
art=$root/resources/art
out=${1:-$root/build/art-sheet.png}
font=$(fc-match -f '%{file}' 'DejaVu Sans' 2>/dev/null || true)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

tile() {  # picture, caption, output
  convert "$1" -filter point -resize 200% -bordercolor '#303040' -border 1 \
    -background '#202028' -fill '#e0e0e8' ${font:+-font "$font"} -pointsize 13 \
    label:"$2" -gravity center -append "$3"
}
tile "$art/preview.bmp" "preview.bmp (152 x 112)" "$tmp/preview.png"
skins=()
for name in normal highlight highlightselect selected pressed disable; do
  if [[ -f $art/skin_$name.bmp ]]; then
    tile "$art/skin_$name.bmp" "skin_$name" "$tmp/skin_$name.png"
    skins+=("$tmp/skin_$name.png")
  fi
done
args=("$tmp/preview.png")
if ((${#skins[@]})); then
  montage "${skins[@]}" -tile 2x -geometry +8+8 -background '#202028' "$tmp/skins.png"
  args+=("$tmp/skins.png")
fi
mkdir -p "$(dirname "$out")"
convert "${args[@]}" -background '#202028' -gravity center +append -bordercolor '#202028' -border 12 "$out"
echo "$out (${#skins[@]} skins)"
