#!/usr/bin/env bash
# Draws the application icon and the about picture with ImageMagick.
# Run from anywhere; the results are committed under resources/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
convert=/usr/bin/convert
command -v "$convert" >/dev/null || { echo "ImageMagick is missing: apt-get install imagemagick" >&2; exit 1; }
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Icon: a rounded tile with a 3 x 3 block of desks, the middle one highlighted.
# The same drawing as SVG (the scalable icon) and with ImageMagick (the pixel
# sizes); both come from this one list of shapes: x1 y1 x2 y2 colour.
tile='8 8 247 247 #2f6db3 40'
desks=(
    '28 46 84 90 #ffffff' '100 46 156 90 #ffffff' '172 46 228 90 #ffffff'
    '28 106 84 150 #ffffff' '100 106 156 150 #ffd23f' '172 106 228 150 #ffffff'
    '28 166 84 210 #ffffff' '100 166 156 210 #ffffff' '172 166 228 210 #ffffff'
)
# Dates and times would make every run's PNG differ.
png_flags=(-define png:exclude-chunks=date,time -strip -depth 8)

read -r x1 y1 x2 y2 colour radius <<<"$tile"
svg="$root/resources/icons/quorvane.svg"
draw=(-fill "$colour" -draw "roundrectangle $x1,$y1 $x2,$y2 $radius,$radius")
{
    echo '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">'
    echo "  <rect x=\"$x1\" y=\"$y1\" width=\"$((x2 - x1))\" height=\"$((y2 - y1))\" rx=\"$radius\" fill=\"$colour\"/>"
    for desk in "${desks[@]}"; do
        read -r x1 y1 x2 y2 colour <<<"$desk"
        echo "  <rect x=\"$x1\" y=\"$y1\" width=\"$((x2 - x1))\" height=\"$((y2 - y1))\" rx=\"10\" fill=\"$colour\"/>"
        draw+=(-fill "$colour" -draw "roundrectangle $x1,$y1 $x2,$y2 10,10")
    done
    echo '</svg>'
} >"$svg"
"$convert" -size 256x256 xc:none "${draw[@]}" "$tmp/icon256.png"
for size in 16 32 48 64 128 256; do
    "$convert" "$tmp/icon256.png" -resize "${size}x${size}" "${png_flags[@]}" \
        "$root/resources/icons/quorvane-$size.png"
done
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
    "${png_flags[@]}" "$root/resources/images/about_image.png"
echo "wrote resources/icons/ (app_icon.ico, quorvane.svg, quorvane-16..256.png) and resources/images/about_image.png"
