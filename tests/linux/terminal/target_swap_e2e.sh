#!/bin/bash
# The run keeps to the target it opened: an image renamed and replaced by another FAT32 image
# between the format and the content step leaves the other image byte-identical and the formatted
# one complete. strace holds the program after each write to its standard output, so that the
# script can stop it right after "포맷작업 완료" and swap the files.
#   target_swap_e2e.sh PROGRAM WORK_DIR
set -u
program=$1
work=$2

if ! command -v mkfs.fat >/dev/null || ! command -v strace >/dev/null ||
    ! strace -qq -o /dev/null true 2>/dev/null; then
    echo "SKIP: needs mkfs.fat and a working strace"
    exit 77
fi
rm -rf "$work"
mkdir -p "$work"
image=$work/player.img
formatted=$work/formatted.img
truncate -s 2100M "$image" "$work/other.img"
mkfs.fat -F 32 -n OTHER "$work/other.img" >/dev/null
cp --sparse=always "$work/other.img" "$work/other.orig"
mkfifo "$work/log"

# LeakSanitizer cannot work under ptrace.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
    strace -f -qq -o /dev/null -e trace=write -e inject=write:delay_exit=200000 \
    "$program" --image "$image" --yes >"$work/log" 2>"$work/err.txt" </dev/null &
tracer=$!
swapped=no
while IFS= read -r line; do
    if [ $swapped = no ] && [[ $line == *"포맷작업 완료"* ]]; then
        kill -STOP $tracer  # the program waits in its delayed write meanwhile
        mv "$image" "$formatted"
        cp --sparse=always "$work/other.orig" "$image"
        kill -CONT $tracer
        swapped=yes
    fi
done <"$work/log"
wait $tracer
status=$?

# shellcheck source=SCRIPTDIR/../test_lib.sh
. "$(dirname "$0")/../test_lib.sh"
[ $swapped = yes ] || fail "the format never reported its end"
[ $status -eq 0 ] || fail "exit status $status; stderr: $(cat "$work/err.txt")"
cmp -s "$work/other.orig" "$image" || fail "the image put at the path afterwards was written to"
if [ -f "$formatted" ]; then
    findings=$(fsck_findings "$formatted") || fail "fsck.fat on the formatted image: $findings"
    mlabel -i "$formatted" -s :: | grep -q 'PMP' || fail "the formatted image has no label PMP"
    [ "$(mdir -i "$formatted" -b ::SYSTEM | wc -l)" -ge 5 ] || fail "the formatted image lacks its system files"
fi
[ $failures -eq 0 ] && rm -rf "$work"
exit $((failures > 0))
