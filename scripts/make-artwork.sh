#!/usr/bin/env bash
# Draws the application icon and the about picture with ImageMagick.
# Run from anywhere; the results are committed under resources/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
convert=/usr/bin/convert
command -v "$convert" >/dev/null || { echo "ImageMagick is missing: apt-get install imagemagick" >&2; exit 1; }
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Icon: a rounded tile with a 3 x 3 block of desks, one of them highlighted.
"$convert" -size 256x256 xc:none \
    -fill '#2f6db3' -draw 'roundrectangle 8,8 247,247 40,40' \
    -fill '#ffffff' \
    -draw 'roundrectangle 44,52 100,96 10,10' -draw 'roundrectangle 116,52 172,96 10,10' \
    -draw 'roundrectangle 188,52 212,96 10,10' \
    -draw 'roundrectangle 44,112 100,156 10,10' -draw 'roundrectangle 188,112 212,156 10,10' \
    -draw 'roundrectangle 44,172 100,216 10,10' -draw 'roundrectangle 116,172 172,216 10,10' \
    -draw 'roundrectangle 188,172 212,216 10,10' \
    -fill '#ffd23f' -draw 'roundrectangle 116,112 172,156 10,10' \
    "$tmp/icon256.png"
cp "$tmp/icon256.png" "$root/resources/icons/quorvane-256.png"
"$convert" "$tmp/icon256.png" -define icon:auto-resize=256,64,48,32,16 "$root/resources/icons/app_icon.ico"

# About picture, 660 x 250: a classroom seen from above, with the name.
"$convert" -size 660x250 gradient:'#1d4e89'-'#3f8fd2' \
    -fill '#ffffff22' -draw 'rectangle 0,200 660,250' \
    -fill '#ffd23f' -draw 'roundrectangle 250,20 410,44 8,8' \
    "$tmp/about.png"
args=()
for col in 0 1 2; do
    for row in 0 1; do
        x=$((60 + col * 200)); y=$((70 + row * 62))
        args+=(-draw "roundrectangle $x,$y $((x + 140)),$((y + 44)) 10,10")
    done
done
"$convert" "$tmp/about.png" -fill '#ffffffcc' "${args[@]}" \
    -fill '#ffd23f' -draw 'circle 130,92 130,100' \
    -fill white -font DejaVu-Sans-Bold -pointsize 30 -gravity south -annotate +0+8 'Quorvane' \
    "$root/resources/images/about_image.png"
echo "wrote resources/icons/app_icon.ico and resources/images/about_image.png"
