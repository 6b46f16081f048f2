#!/bin/sh
# Benchmark of the whole Format command through the terminal program on a sparse 40 GB player
# image (40,007,729,664 bytes, model VQ10): format, label and content, end to end. For each run
# the program reports its own wall time, peak memory (getrusage) and bytes written (/proc/self/io);
# the script adds the bytes that reached the image (its allocated blocks). A --list run (start-up,
# scan and panel, nothing written) gives the memory baseline: the format run's peak stays within
# a few pages of it plus the content blocks read in place, never a copy of the 2 MB font.
#   bench/terminal_bench.sh [PROGRAM] [DIR]
# PROGRAM defaults to the release build's tolvenformat; the image is made in a fresh folder under
# DIR (default $TMPDIR or /tmp) and deleted afterwards.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$top/build/release/platform/linux/terminal/tolvenformat}
base=${2:-${TMPDIR:-/tmp}}
size=40007729664

if [ ! -x "$program" ]; then
    echo "terminal_bench: no program at $program (build the release first)" >&2
    exit 2
fi
dir=$(mktemp -d "$base/tolven-bench.XXXXXX")
trap 'rm -rf "$dir"' EXIT
image=$dir/player-vq10.img

allocated() {
    echo $(($(stat -c %b "$image") * 512))
}

stats_of() {
    sed -n 's/^tolvenformat: time/time/p' "$dir/stats.txt"
}

echo "image: $image, $size bytes, sparse"
truncate -s "$size" "$image"
"$program" --image "$image" --list --stats >/dev/null 2>"$dir/stats.txt" </dev/null
echo "--list (baseline):        $(stats_of)"
"$program" --image "$image" --yes --stats >"$dir/out.txt" 2>"$dir/stats.txt" </dev/null
echo "format, label, content:   $(stats_of)"
echo "bytes allocated in the image afterwards: $(allocated)"
"$program" --image "$image" --list --stats >/dev/null 2>"$dir/stats.txt" </dev/null
echo "--list on the formatted image (reads its FAT for the free space): $(stats_of)"
"$program" --image "$image" --yes --stats >"$dir/out.txt" 2>"$dir/stats.txt" </dev/null
echo "again on the formatted image: $(stats_of)"
echo "bytes allocated in the image afterwards: $(allocated)"
