#!/usr/bin/env bash
# Redraws every PNG resource and the app icon of the finder from the SVG drawings
# in finder/resources/art, into finder/resources/images. The results are
# committed; run this after changing a drawing and look at the images.
#
# Button faces without alpha are drawn over the exact piece of the window
# background they sit on, so that their square corners blend into it.
# Every output is an 8-bit PNG without timestamps, so a rerun gives identical files.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" librsvg2-bin imagemagick fonts-noto-cjk

art=$root/finder/resources/art
out=$root/finder/resources/images
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

render() { rsvg-convert --format png -o "$work/$1.png" "$art/$1.svg"; }

# ImageMagick writes 16-bit PNGs and date chunks unless told otherwise.
save_rgba() { convert "$1" -strip -define png:exclude-chunks=date,time,tEXt,zTXt "PNG32:$out/$2.png"; }
save_rgb() { convert "$1" -strip -background white -flatten -define png:exclude-chunks=date,time,tEXt,zTXt "PNG24:$out/$2.png"; }

# face_on BACKGROUND FACE X Y NAME: FACE drawn over the piece of BACKGROUND at (X, Y).
face_on() {
    local size
    size=$(identify -format '%wx%h' "$work/$2.png")
    convert "$work/$1.png" -crop "$size+$3+$4" +repage "$work/$2.png" -composite "$work/$5.png"
    save_rgb "$work/$5.png" "$5"
}

for drawing in "$art"/*.svg; do
    name=$(basename "$drawing" .svg)
    case $name in icon*) ;; *) render "$name" ;; esac
done

# The bar keeps its soft alpha outline; it is shown with per-pixel alpha.
save_rgba "$work/bar.png" bar

# The field is keyed on magenta: its pixels are either opaque or transparent
# magenta, and no opaque pixel may be magenta.
convert "$work/field.png" -channel A -threshold 50% +channel -background '#FF00FF' -alpha background \
    "$work/field-keyed.png"
save_rgba "$work/field-keyed.png" field

# The popup background's cut corners are transparent white.
convert "$work/popup.png" -background white -alpha background "$work/popup-white.png"
save_rgba "$work/popup-white.png" popup

face_on popup web-search 5 390 web-search
face_on popup popup-close-normal 465 3 popup-close
face_on popup popup-close-pressed 465 3 popup-close-pressed
face_on popup popup-close-hover 465 3 popup-close-hover
face_on popup about-link-normal 380 420 about-link
face_on popup about-link-hover 380 420 about-link-hover

save_rgb "$work/about.png" about
face_on about about-close-normal 556 2 about-close
face_on about about-close-hover 556 2 about-close-hover
face_on about learn-more-normal 320 184 learn-more
face_on about learn-more-hover 320 184 learn-more-hover

# The app icon: 32-bit images of 128, 48, 32, 24 and 16 pixels.
# The two smallest sizes have drawings of their own, fitted to their pixel grids.
icons=()
for size in 128 48 32 24 16; do
    drawing=$art/icon.svg
    [ -f "$art/icon-$size.svg" ] && drawing=$art/icon-$size.svg
    rsvg-convert -w $size -h $size -o "$work/icon-$size.png" "$drawing"
    icons+=("PNG32:$work/icon-$size.png")
done
convert "${icons[@]}" -strip "ICO:$out/app.ico"

echo "Wrote $(ls "$out" | wc -l) files to ${out#"$root"/}"
