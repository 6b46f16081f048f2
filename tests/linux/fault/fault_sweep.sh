#!/bin/bash
# The fault sweep: one whole command (format and content copy of a player on a partitioned disk
# image) is run again and again with the N-th write, fsync or fallocate on the image failing
# (EIO, ENOSPC), or with the process killed at the N-th write. For every N:
#   - a run that reports success has really done the work (the volume checks clean and complete);
#   - a failure names the error injected on standard error;
#   - after a failure a plain rerun formats the image, and the result checks clean;
#   - no byte outside the partition changes (the table apart from its type byte, the gap before
#     the partition and the data behind it).
#   fault_sweep.sh PROGRAM SHIM CONTENT_DIR WORK_DIR [STRIDE]
# STRIDE > 1 samples: each kind of fault takes every STRIDE-th call, the kinds at different
# offsets, so that together they reach a wide spread of writes; the first and last always run.
set -u
program=$1
shim=$2
content=$3
work=$4
stride=${5:-1}

rm -rf "$work"
mkdir -p "$work"
base=$work/base.img
image=$work/disk.img
out=$work/out.txt
err=$work/err.txt
report=$work/report.txt
volume=$work/volume.img

# Partition 1 from sector 2048, large enough to be FAT32-sized for mtools; 1 MiB of data behind it.
part_start=2048
part_sectors=4300800
tail_start=$((part_start + part_sectors))
disk_sectors=$((tail_start + 2048))

# shellcheck source=SCRIPTDIR/../test_lib.sh
. "$(dirname "$0")/../test_lib.sh"

# Everything outside the partition, as one checksum (the type byte at 450 is the program's to set).
outside() {
    {
        head -c 450 "$1"
        tail -c +452 "$1" | head -c $((part_start * 512 - 451))
        tail -c +$((tail_start * 512 + 1)) "$1"
        stat -c %s "$1"
    } | md5sum
}

# fsck.fat passes without a finding, and mtools reads the system files back byte for byte.
volume_clean() {
    truncate -s 0 "$volume"
    truncate -s $((part_sectors * 512)) "$volume"
    dd if="$image" of="$volume" bs=1M skip=1 count=16 conv=notrunc status=none
    fsck_findings "$volume" || return 1
    local entry name id
    for entry in UNICODEF.FON:137 FILEBROW.JPG:160 INTRO.JPG:163 TEXTBG_M.JPG:166; do
        name=${entry%%:*} id=${entry##*:}
        mtype -i "$image@@1M" "::SYSTEM/$name" 2>/dev/null | cmp -s - "$(block_file "$id")" || {
            echo "SYSTEM/$name is not the content block $id"
            return 1
        }
    done
}

run_program() {
    "$program" --image "$image" --yes >"$out" 2>"$err" </dev/null
}

# The disk: an MBR with one FAT32 partition, random data in the gap and behind the partition.
truncate -s $((disk_sectors * 512)) "$base"
head -c $(((part_start - 1) * 512)) /dev/urandom | dd of="$base" bs=512 seek=1 conv=notrunc status=none
head -c $((2048 * 512)) /dev/urandom | dd of="$base" bs=512 seek=$tail_start conv=notrunc status=none
# shellcheck disable=SC2046
put_bytes "$base" 446 0 254 255 255 11 254 255 255 $(le32 $part_start) $(le32 $part_sectors)
put_bytes "$base" 510 85 170
expected_outside=$(outside "$base")

# One clean run counts the calls that can fail.
cp --sparse=always "$base" "$image"
FAULT_TARGET=$image FAULT_AT=0 FAULT_REPORT=$report LD_PRELOAD=$shim run_program
status=$?
[ $status -eq 0 ] || { fail "the clean run exited $status: $(cat "$err")"; exit 1; }
read -r _ writes _ fsyncs _ fallocates _ _ <"$report"
echo "calls on the image: $writes writes, $fsyncs fsyncs, $fallocates fallocates"
[ "$writes" -gt 0 ] || { fail "the shim saw no write"; exit 1; }

# The calls a kind of fault takes: those whose remainder by STRIDE is in PHASES ("0,2").
points() {
    local total=$1 phases=$2 n
    for ((n = 1; n <= total; n++)); do
        if [ "$stride" -le 1 ] || [ $n -eq 1 ] || [ $n -eq "$total" ] ||
            [[ ",$phases," == *",$((n % stride)),"* ]]; then
            echo $n
        fi
    done
}

covered=0
reported=0
clean=0
# kind, errno, remainders taken when sampling (with STRIDE 6 the write kinds share every other
# write, the fsync kinds every other fsync)
for plan in "write 5 1" "write 28 3" "kill 0 5" "fsync 5 0,3" "fsync 28 1" "fallocate 28 0"; do
    set -- $plan
    op=$1 code=$2 phase=$3
    case $op in
        write | kill) total=$writes ;;
        fsync) total=$fsyncs ;;
        fallocate) total=$fallocates ;;
    esac
    for n in $(points "$total" "$phase"); do
        cp --sparse=always "$base" "$image"
        rm -f "$report"
        FAULT_TARGET=$image FAULT_OP=$op FAULT_AT=$n FAULT_ERRNO=$code FAULT_REPORT=$report \
            LD_PRELOAD=$shim run_program
        status=$?
        grep -q 'fired 1' "$report" 2>/dev/null || { fail "$op $n: the fault was not injected"; continue; }
        covered=$((covered + 1))
        what="$op #$n (errno $code)"
        [ "$(outside "$image")" = "$expected_outside" ] || fail "$what: bytes outside the partition changed"
        if [ $status -eq 0 ]; then
            # Success may only be reported for work that happened.
            problem=$(volume_clean) || fail "$what: exit 0, but $problem"
            continue
        fi
        reported=$((reported + 1))
        [ "$op" = kill ] || [ -s "$err" ] || fail "$what: exit $status without a word on standard error"
        case $code in
            5) named='Input/output error' ;;
            28) named='No space left on device' ;;
            *) named='' ;;
        esac
        [ -z "$named" ] || grep -q -F "$named" "$err" || fail "$what: the error is not named: $(cat "$err")"
        run_program
        status=$?
        if [ $status -ne 0 ]; then
            fail "$what: the rerun exited $status: $(cat "$err")"
            continue
        fi
        if problem=$(volume_clean); then
            clean=$((clean + 1))
        else
            fail "$what: after the rerun $problem"
        fi
        [ "$(outside "$image")" = "$expected_outside" ] || fail "$what: the rerun changed bytes outside the partition"
    done
done
echo "injection points covered: $covered; failures reported: $reported; reruns clean: $clean"
rm -rf "$work"
[ $failures -eq 0 ] || exit 1
echo PASS
