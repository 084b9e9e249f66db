#!/bin/sh
# Renders the committed images from their sources. Run by hand after editing
# banner.svg or icon.xpm; needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -eu
cd "$(dirname "$0")"
magick=/usr/bin/convert
# The banner as raw pixels in the layout of Qt's opaque 32-bit images, bytes
# blue, green, red, 255: the program draws them without a decoder or a copy.
for size in 193:banner 386:banner@2x; do
    rsvg-convert -w "${size%%:*}" -h "${size%%:*}" banner.svg -o "${size#*:}.tmp.png"
    "$magick" "${size#*:}.tmp.png" -alpha off -depth 8 "BGRA:${size#*:}.rgb32"
    rm "${size#*:}.tmp.png"
done
"$magick" icon.xpm -colors 16 icon-16.png
# The scalable icon at the sizes docks and task switchers ask for.
for size in 32 48 64 128 256; do
    rsvg-convert -w $size -h $size icon.svg -o icon-$size.png
done
# The Windows icon: the design's 16-colour 16 x 16, then 32, 48 and 256.
"$magick" \( icon.xpm -colors 16 \) icon-32.png icon-48.png icon-256.png icon.ico
