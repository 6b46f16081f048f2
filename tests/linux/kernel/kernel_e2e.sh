#!/bin/bash
# The program and its volumes under a real Linux kernel: the host's Debian kernel in a QEMU guest,
# with the volumes as virtio disks or as USB mass-storage players on an xHCI controller.
#   kernel_e2e.sh PROGRAM CONTENT_DIR WORK_DIR CASE
# CASE: vfat_readback, usb_players, unplug, power_cut. Exits 77 (skipped) where QEMU or the
# host's kernel is missing.
set -u
program=$1
content=$2
work=$3
case_name=$4
here=$(cd "$(dirname "$0")" && pwd)
replay=$here/../fault/power_cut_replay.py

# shellcheck source=SCRIPTDIR/../test_lib.sh
. "$here/../test_lib.sh"
# shellcheck source=SCRIPTDIR/guest_lib.sh
. "$here/guest_lib.sh"
fail_context=$case_name

if ! command -v qemu-system-x86_64 >/dev/null || [ -z "$(guest_kernel)" ] || [ ! -x /bin/busybox ]; then
    echo "SKIP: qemu-system-x86, a kernel in /boot (linux-image-amd64) or busybox-static is missing"
    exit 77
fi
rm -rf "$work"
mkdir -p "$work"
guest_dir=$work/guest
mkdir -p "$guest_dir"
serial=$work/serial.txt
make_guest "$program"

# The verdict of power_cut_replay.py on a whole-disk volume: judge IMAGE MODEL [ENTRY...]
judge() {
    local image=$1 model=$2
    shift 2
    "$replay" --judge "$image" "$content" "$work" "$model" "$@"
}

# A case script for the guest, from standard input.
case_script() {
    cat >"$work/case.sh"
}

# Runs the case script with the QEMU options given; stops the test when the guest does not end.
boot() {
    local disks=$1 started
    shift
    started=$(date +%s.%N)
    rm -f "$serial"
    boot_guest "$work/case.sh" "$disks" "$@"
    # A guest whose power was cut does not finish.
    [ "${power_cut:-}" = yes ] || grep -q GUEST-DONE "$serial" ||
        fail "the guest did not finish: $(tail -5 "$serial")"
    echo "boot with $disks: $(awk -v s="$started" -v e="$(date +%s.%N)" 'BEGIN {printf "%.1f", e - s}') s," \
        "up after $(grep -a -o "GUEST-UP [0-9.]*" "$serial" | cut -d" " -f2) s of guest time"
}

blank_image() {
    rm -f "$1"
    truncate -s "$2" "$1"
}

image_sum() {
    md5sum <"$1"
}

case $case_name in
    vfat_readback)
        # The guest kernel's vfat reads every file of volumes written on the host and writes back.
        small=$work/small.img large=$work/large.img
        for image in "$small:2100M:VQ10" "$large:40007729664:VQ20"; do
            IFS=: read -r path size model <<<"$image"
            rm -f "$path"
            "$program" --image "$path" --size "$size" --vendor TOLVEN --product "$model" --yes -q \
                >/dev/null 2>&1 </dev/null || fail "the host could not format $path"
        done
        case_script <<'CASE'
for disk in vda vdb; do
    mount -t vfat "/dev/$disk" /mnt || { echo "RESULT mount_$disk failed"; continue; }
    echo "RESULT mount_$disk ok"
    (cd /mnt/SYSTEM && md5sum *) | while read -r sum name; do echo "RESULT $disk/$name $sum"; done
    echo "written in the guest" >/mnt/MUSIC/GUEST.TXT
    mkdir /mnt/PHOTO/ALBUM && echo "in a folder" >/mnt/PHOTO/ALBUM/A.TXT
    umount /mnt && echo "RESULT umount_$disk ok"
done
CASE
        boot "vda vdb" -drive "file=$small,format=raw,if=virtio" -drive "file=$large,format=raw,if=virtio"
        for entry in vda:$small:VQ10 vdb:$large:VQ20; do
            IFS=: read -r disk path model <<<"$entry"
            [ "$(guest_result "mount_$disk")" = ok ] || fail "the guest could not mount $disk"
            [ "$(guest_result "umount_$disk")" = ok ] || fail "the guest could not unmount $disk"
            while IFS=: read -r name id; do
                [ "$(guest_result "$disk/$name")" = "$(md5sum <"$(block_file "$id")" | cut -d' ' -f1)" ] ||
                    fail "$disk: the guest read SYSTEM/$name other than block $id"
            done < <(/usr/bin/python3 -c "import sys; sys.path.insert(0, '$here/../fault'); import power_cut_replay as r
for n, b in r.MODEL_FILES['$model'].items(): print(f'{n}:{b}')")
            problem=$(fsck_findings "$path") || fail "$disk after the guest wrote to it: $problem"
            [ "$(mtype -i "$path" ::MUSIC/GUEST.TXT)" = "written in the guest" ] || fail "$disk: GUEST.TXT"
            [ "$(mtype -i "$path" ::PHOTO/ALBUM/A.TXT)" = "in a folder" ] || fail "$disk: ALBUM/A.TXT"
        done
        ;;
    usb_players)
        # Players found by their USB identification in the guest's sysfs, with no target named.
        one=$work/one.img two=$work/two.img other=$work/other.img
        run_players() {
            case_script <<CASE
tolvenformat --yes $1 >/tmp/out 2>/tmp/err </dev/null
echo "RESULT status \$?"
sed 's/^/ERR /' /tmp/err
CASE
        }
        # The player and a foreign disk: the player is formatted, the other disk untouched.
        blank_image "$one" 2100M
        blank_image "$other" 2100M
        put_bytes "$other" 1000000 1 2 3
        before=$(image_sum "$other")
        run_players ""
        # shellcheck disable=SC2046
        boot "sda sdb" $(usb_disk p1 "$one" TOLVEN VQ10) $(usb_disk p2 "$other" OTHER DISK)
        [ "$(guest_result status)" = 0 ] || fail "usb-bot player: exit $(guest_result status): $(grep ERR "$serial")"
        verdict=$(judge "$one" VQ10) && [ "$verdict" = clean ] || fail "usb-bot player: $verdict"
        [ "$(image_sum "$other")" = "$before" ] || fail "the foreign disk beside the player changed"
        # A hard disk of the model table behind the USB Attached SCSI protocol: a VQ20.
        blank_image "$one" 2100M
        # shellcheck disable=SC2046
        boot sda $(usb_disk p1 "$one" TOSHIBA MK2006GAL uas)
        [ "$(guest_result status)" = 0 ] || fail "usb-uas disk of the model table: exit $(guest_result status)"
        verdict=$(judge "$one" VQ20) && [ "$verdict" = clean ] || fail "usb-uas VQ20: $verdict"
        # An MBR disk: its first partition is formatted, the table kept.
        blank_image "$one" 2200M
        printf 'label: dos\nstart=2048, size=4300800, type=83\n' | sfdisk -q "$one" >/dev/null ||
            fail "sfdisk could not write the table"
        table=$(head -c 446 "$one" | md5sum; dd if="$one" bs=1 skip=454 count=58 status=none | md5sum)
        # shellcheck disable=SC2046
        boot "sda sda1" $(usb_disk p1 "$one" TOLVEN VQ10)
        [ "$(guest_result status)" = 0 ] || fail "MBR player: exit $(guest_result status)"
        [ "$(head -c 446 "$one" | md5sum; dd if="$one" bs=1 skip=454 count=58 status=none | md5sum)" = "$table" ] ||
            fail "the MBR changed beyond its type byte"
        [ "$(mlabel -i "$one@@1M" -s :: | tr -s ' ')" = " Volume label is PMP " ] || fail "MBR player: no label"
        mtype -i "$one@@1M" ::SYSTEM/UNICODEF.FON | cmp -s - "$(block_file 137)" || fail "MBR player: the font"
        # Two players: listed, nothing written, exit 2.
        blank_image "$one" 2100M
        blank_image "$two" 2100M
        run_players ""
        # shellcheck disable=SC2046
        boot "sda sdb" $(usb_disk p1 "$one" TOLVEN VQ10) $(usb_disk p2 "$two" TOLVEN VQ20)
        [ "$(guest_result status)" = 2 ] || fail "two players: exit $(guest_result status), expected 2"
        [ "$(allocated="$(stat -c %b "$one" "$two")"; echo $allocated)" = "0 0" ] || fail "two players: written"
        # A foreign disk alone: no player, nothing written.
        before=$(image_sum "$other")
        # shellcheck disable=SC2046
        boot sda $(usb_disk p2 "$other" OTHER DISK)
        [ "$(guest_result status)" = 3 ] || fail "a foreign disk alone: exit $(guest_result status), expected 3"
        [ "$(image_sum "$other")" = "$before" ] || fail "the foreign disk changed"
        ;;
    unplug | power_cut)
        # The player pulled out, or the power cut, while its writes are slowed down: afterwards
        # there is no system file or a whole one, never a wrong one.
        image=$work/player.img
        qmp=$work/qmp.sock
        [ "$case_name" = power_cut ] && power_cut=yes
        case_script <<'CASE'
# The log goes to the console as it is written: the host acts on its lines.
tolvenformat --yes >/dev/console 2>/tmp/err </dev/null
echo "RESULT status $?"
sed 's/^/ERR /' /tmp/err
CASE
        # moment: the guest's log line to wait for, then seconds to wait
        while IFS='|' read -r moment line wait; do
            [ -n "$moment" ] || continue
            blank_image "$image" 2100M
            rm -f "$qmp" "$serial"
            # shellcheck disable=SC2046
            boot sda $(usb_disk p1 "$image" TOLVEN VQ10 bot ",cache=writethrough,throttling.bps-write=524288") \
                -qmp "unix:$qmp,server=on,wait=off" 2>"$work/boot.err" &
            guest=$!
            for _ in $(seq 600); do
                [ -f "$serial" ] && tr -d "\r" <"$serial" | grep -q -F -- "$line" && break
                kill -0 "$guest" 2>/dev/null || break
                sleep 0.1
            done
            sleep "$wait"
            if [ "$case_name" = unplug ]; then
                /usr/bin/python3 "$here/qmp.py" "$qmp" device_del p1 || fail "$moment: device_del refused"
                wait "$guest"
                status=$(guest_result status)
                [ "$status" != 0 ] || fail "$moment: the run succeeded though the player was pulled out"
                grep -q '^ERR ' <(tr -d '\r' <"$serial") || fail "$moment: no reason on stderr"
            else
                pkill -KILL -f "file=$image" || true
                wait "$guest" 2>/dev/null
            fi
            verdict=$(judge "$image" VQ10) || fail "$moment: $verdict"
            echo "$moment: $verdict"
        done <<MOMENTS
$( [ "$case_name" = unplug ] && echo "during the clearing|Clearing out|0.2" )
$( [ "$case_name" = unplug ] && echo "during the copy|Creating the folders|1" )
$( [ "$case_name" = power_cut ] && printf '%s\n' "at the label|Changing the volume label|0.1" \
    "in the font|Creating the folders|1.5" "in the screens|Creating the folders|7" )
MOMENTS
        ;;
    *)
        echo "unknown case $case_name"
        exit 2
        ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "$case_name: passed"
