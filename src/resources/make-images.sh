#!/bin/sh
# Renders the committed images from their sources. Run by hand after editing
# banner.svg or icon.xpm; needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -eu
cd "$(dirname "$0")"
magick=/usr/bin/convert
rsvg-convert -w 193 -h 193 banner.svg -o banner.png
rsvg-convert -w 386 -h 386 banner.svg -o banner@2x.png
# The banner has under 256 colours: as a palette PNG, which is lossless here,
# it decodes in half the time, on every start.
for banner in banner.png banner@2x.png; do "$magick" "$banner" "PNG8:$banner"; done
"$magick" icon.xpm -colors 16 icon-16.png
# The scalable icon at the sizes docks and task switchers ask for.
for size in 32 48 64 128 256; do
    rsvg-convert -w $size -h $size icon.svg -o icon-$size.png
done
# The Windows icon: the design's 16-colour 16 x 16, then 32, 48 and 256.
"$magick" \( icon.xpm -colors 16 \) icon-32.png icon-48.png icon-256.png icon.ico
