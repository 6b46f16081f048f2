#!/bin/sh
# Rebuilds the font from the glyph source and compares it with the committed file and the SHA-256
# recorded next to it. Skips (exit 77) where the glyph source is not installed.
generator=$1 source_hex=$2 committed=$3 record=$4 work=$5
[ -r "$source_hex" ] || { echo "no $source_hex: skipped"; exit 77; }
"$generator" "$source_hex" "$work" || exit 1
cmp "$work" "$committed" || { echo "the committed font differs from a fresh build"; exit 1; }
sum=$(sha256sum "$committed" | cut -d' ' -f1)
grep -q "SHA-256: *$sum" "$record" || { echo "$record does not record SHA-256 $sum"; exit 1; }
echo "font rebuilt byte for byte, SHA-256 $sum"
