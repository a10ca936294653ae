#!/bin/sh
# Makes the splash tests' images with ImageMagick, and beside each "<name>.rgb": its pixels as
# ImageMagick decodes them, 8-bit RGB rows from the top, for comparing with the screen.
#
#   make_images.sh <output-folder>
set -eu
out="${1:?usage: make_images.sh <output-folder>}"
mkdir -p "$out"
cd "$out"

# Flat blocks of unequal colours, asymmetric so a flip or offset shows, and no antialiasing so
# every format (GIF's palette included) can hold the pixels exactly.
convert -size 240x160 xc:'#204080' +antialias \
    -fill '#e03020' -draw 'rectangle 0,0 119,79' \
    -fill '#30c060' -draw 'rectangle 120,80 239,159' \
    -fill '#f0e0d0' -draw 'rectangle 10,100 59,149' \
    -fill '#000000' -draw 'rectangle 200,10 229,29' \
    -fill '#ffffff' -draw 'point 239,0' \
    -depth 8 -type TrueColor PNG24:pattern.png
convert pattern.png BMP3:pattern.bmp
convert pattern.png pattern.gif
convert pattern.png -quality 95 pattern.jpg
# Sizes for the placement: odd, and wider than a 1280-pixel screen.
convert -size 301x201 xc:'#808000' -depth 8 PNG24:odd.png
convert -size 1301x50 xc:'#008080' -depth 8 PNG24:wide.png
# A file with the right name and no image in it.
printf 'not an image' > broken.png

for image in pattern.png pattern.bmp pattern.gif pattern.jpg; do
    convert "$image" -depth 8 "rgb:$image.rgb"
done
