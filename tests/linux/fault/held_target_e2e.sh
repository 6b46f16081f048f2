#!/bin/bash
# The target stays the run's own: a target cut short under the run fails it, and the exclusive
# lock on the image is never dropped between the checks and the end (no other formatter's chance).
#   held_target_e2e.sh PROGRAM SHIM WORK_DIR
set -u
program=$1
shim=$2
work=$3

# shellcheck source=SCRIPTDIR/../test_lib.sh
. "$(dirname "$0")/../test_lib.sh"
fault_work_dir "$work"
gap=$work/gap.txt

# Runs the whole command on a fresh 64 MiB image under the fault library's settings "$@".
run_with() {
    rm -f "$image" "$gap"
    truncate -s 64M "$image"
    env FAULT_TARGET="$image" FAULT_REPORT="$report" "$@" LD_PRELOAD="$shim" \
        "$program" --image "$image" --yes >"$out" 2>"$err" </dev/null
    status=$?
}

run_with FAULT_LOCK_GAP="$gap"
[ $status -eq 0 ] || fail "the clean run exited $status: $(cat "$err")"
[ -s "$gap" ] && fail "the exclusive lock was dropped during the run: $(cat "$gap")"
read -r _ writes _ <"$report"

# Cut to 32 MiB in the middle of the format, before the label, and at the last write.
for at in $((writes / 4)) $((writes / 2)) "$writes"; do
    run_with FAULT_OP=truncate FAULT_AT="$at" FAULT_LENGTH=$((32 << 20))
    [ $status -eq 1 ] || fail "cut at write $at of $writes: exit $status, expected 1: $(cat "$err")"
    grep -q "changed its length during the run: 67108864 bytes when opened" "$err" ||
        fail "cut at write $at: no reason: $(cat "$err")"
done
[ $failures -eq 0 ] || exit 1
rm -rf "$work"
echo PASS
