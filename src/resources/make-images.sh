#!/bin/sh
# Renders the committed images from their sources. Run by hand after editing
# banner.svg or icon.xpm; needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -eu
cd "$(dirname "$0")"
magick=/usr/bin/convert
rsvg-convert -w 193 -h 193 banner.svg -o banner.png
rsvg-convert -w 386 -h 386 banner.svg -o banner@2x.png
"$magick" icon.xpm -colors 16 icon-16.png
"$magick" icon.xpm -colors 16 icon.ico
