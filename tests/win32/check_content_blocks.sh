#!/bin/sh
# Under Wine: the content blocks of the built programs, looked up as the program does
# (FindResourceW with an integer id and the type "DATA"), against the files the resource script
# names: same sizes for 137 and 159 to 175, nothing for the unused ids.
#   check_content_blocks.sh PROBE CONTENT_RC EXE...
set -eu
probe=$1 content_rc=$2
shift 2
. "$(dirname "$0")/wine_session.sh"
work=$(mktemp -d)
wine_start
trap 'status=$?; wine_stop; rm -rf "$work"; exit $status' EXIT

# Expected: "id size" for every block the resource script names, "id none" for the unused ids.
content_dir=$(dirname "$content_rc")
: > "$work/expected"
for id in 0 136; do echo "$id none" >> "$work/expected"; done
for id in 137 138 158 $(seq 159 176); do
    file=$(sed -n "s/^[[:space:]]*$id[[:space:]][[:space:]]*DATA[[:space:]][[:space:]]*\"\\(.*\\)\".*/\\1/p" "$content_rc")
    if [ -z "$file" ]; then
        echo "$id none" >> "$work/expected"
        continue
    fi
    for candidate in "$content_dir/$file" "$content_dir/../$file" "$file"; do
        if [ -f "$candidate" ]; then
            echo "$id $(wc -c < "$candidate")" >> "$work/expected"
            continue 2
        fi
    done
    echo "FAIL: block $id names a missing file: $file"
    exit 1
done
# The font's size is fixed whatever the glyphs.
grep -q '^137 2096640$' "$work/expected" || { echo "FAIL: the font block is not 2,096,640 bytes"; exit 1; }
for id in 138 158 176; do
    grep -q "^$id none$" "$work/expected" || { echo "FAIL: the resource script names the unused id $id"; exit 1; }
done

failed=0
for exe in "$@"; do
    "$WINE" "$probe" resources "$(winpath "$exe")" "$(winpath "$work/actual")"
    if ! diff -u "$work/expected" "$work/actual"; then
        echo "FAIL: content blocks of $exe"
        failed=1
    fi
    # Each image is a whole JPEG file: start-of-image and JFIF marker, end-of-image at the end.
    for id in $(seq 159 175); do
        "$WINE" "$probe" block "$(winpath "$exe")" "$id" "$(winpath "$work/block")"
        head=$(od -An -tx1 -N4 "$work/block" | tr -d ' \n')
        tail=$(tail -c 2 "$work/block" | od -An -tx1 | tr -d ' \n')
        if [ "$head" != ffd8ffe0 ] || [ "$tail" != ffd9 ]; then
            echo "FAIL: block $id of $exe is not a whole JFIF file ($head ... $tail)"
            failed=1
        fi
    done
done
[ $failed = 0 ] && echo "content blocks match in: $*"
exit $failed
