#!/bin/sh
# Renders the banner picture from its drawing. Run by hand after editing
# banner.svg (needs rsvg-convert from librsvg2-bin); the PNG is committed.
set -eu
cd "$(dirname "$0")"
rsvg-convert -w 193 -h 193 banner.svg -o banner.png
