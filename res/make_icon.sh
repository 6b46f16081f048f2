#!/bin/sh
# Draws the application icon (64 x 64, 32 bits per pixel with alpha) and writes TolvenFormat.ico
# next to this script. Run by hand; the .ico is committed. Needs ImageMagick's /usr/bin/convert.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
convert=/usr/bin/convert
# A blue rounded square with a white disc (the platter) and a dark spindle: a portable hard disk.
"$convert" -size 64x64 xc:none \
    -fill '#0079FF' -stroke '#003C80' -strokewidth 2 -draw 'roundrectangle 3,3 60,60 12,12' \
    -fill white -stroke none -draw 'circle 32,30 32,11' \
    -fill '#0079FF' -draw 'circle 32,30 32,24' \
    -fill '#003C80' -draw 'circle 32,30 32,28' \
    -fill white -draw 'roundrectangle 14,51 50,55 2,2' \
    -define icon:auto-resize=64 -type TrueColorAlpha "$here/TolvenFormat.ico"
