#!/bin/sh
# Under Wine, the test build with a stand-in player on drive E: (raw access: a disk image through
# dosdevices/e::; files: a folder through dosdevices/e:). Modes:
#   format   press Format, answer Yes: the image holds the FAT32 system area (checked byte for
#            byte and with fsck.fat and mtools), the folder the model's folders and system files,
#            byte-identical to the program's content blocks.
#   refused  the disk queries go to Wine, which refuses them: the format stops with the failure
#            line, nothing is written, and the program carries on.
#   end_to_end_test.sh MODE PROBE TEST_BUILD_EXE ARTIFACTS
set -eu
mode=$1 PROBE=$2 exe=$3 ARTIFACTS=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_session.sh"
. "$here/dialog_checks.sh"
WORK=$(mktemp -d)
mkdir -p "$ARTIFACTS"
image="$WORK/player.img"
folder="$WORK/player"
sectors=4200000  # enough clusters (65,608) for mtools to take the volume as FAT32
wine_start
cleanup() {
    rm -f "$WINEPREFIX/dosdevices/e::" "$WINEPREFIX/dosdevices/e:"
    rm -rf "$WORK"
}
trap 'status=$?; wine_stop; cleanup; exit $status' EXIT

truncate -s $((sectors * 512)) "$image"
mkdir -p "$folder"
rm -f "$WINEPREFIX/dosdevices/e::" "$WINEPREFIX/dosdevices/e:"
ln -s "$image" "$WINEPREFIX/dosdevices/e::"
ln -s "$folder" "$WINEPREFIX/dosdevices/e:"

model=VQ30
TOLVEN_TEST_DEVICE="drive=E;vendor=TOLVEN;product=$model;sectorsPerTrack=63;tracksPerCylinder=255"
TOLVEN_TEST_DEVICE="$TOLVEN_TEST_DEVICE;partitionLength=$((sectors * 512));hiddenSectors=0"
[ "$mode" = refused ] && TOLVEN_TEST_DEVICE="$TOLVEN_TEST_DEVICE;diskQueries=system"
export TOLVEN_TEST_DEVICE

start_program "$exe"
probe wait "$MAIN_TITLE" 30 || { fail "the window did not appear"; exit 1; }
sleep 1
dump "$MAIN_TITLE" > /dev/null
expect_control 1001 4 enabled "a player on E: enables the Format button"

probe command "$MAIN_TITLE" 1001
caption="E: 드라이브 포맷"
probe wait "$caption" 15 || { fail "no confirmation box captioned \"$caption\""; exit 1; }
sleep 0.5
dump "$caption"
grep -q '포맷할 경우, 하드디스크 장치의 모든 자료가 삭제 됩니다. 포맷하시겠습니까?' "$WORK/dump.txt" ||
    fail "the confirmation box lacks its question"
screenshot "win32_${mode}_confirmation.png"
probe command "$caption" 6  # Yes

if [ "$mode" = format ]; then
    wait_log '파일 복사가 완료되었습니다.' 120 || fail "the format did not reach its completion line"
else
    wait_log '포맷작업 중 에러발생' 60 || fail "the format did not end with its failure line"
fi
sleep 0.5
dump "$MAIN_TITLE" > /dev/null
log=$(control_field 1000 5)
printf 'status log:\n%s\n' "$log" | sed 's/\\r\\n/\n/g'
screenshot "win32_${mode}_after.png"
expect_control 1002 3 hidden "the progress bar stays hidden after a format"

# A device arrival rescans: the stand-in player is found again and the button stays enabled.
probe devicechange "$MAIN_TITLE" 0x8000 || fail "the device change was not delivered"
sleep 1
dump "$MAIN_TITLE" > /dev/null || fail "the window is gone after a device change"
expect_control 1001 4 enabled "the rescan after a device arrival finds the player again"

# The close command of the system menu gets the default processing, which ends the dialog.
probe syscommand "$MAIN_TITLE" 0xF060
status=$(wait_program 20)
[ "$status" = 0 ] || fail "the program ended with '$status' instead of exit code 0"

case $mode in
refused)
    case $log in
        *'장치 정보 읽기에 실패했습니다.\r\n포맷작업 중 에러발생\r\n') ;;
        *) fail "the log does not end with the geometry failure and the failure line" ;;
    esac
    if [ -n "$(od -An -v -N 1048576 -tx1 "$image" | tr -d ' 0\n')" ]; then
        fail "the refused format wrote onto the image"
    fi
    [ -z "$(ls -A "$folder")" ] || fail "the refused format created files: $(ls -A "$folder")"
    ;;
format)
    case $log in
        *"포맷작업 완료\\r\\nVolume Label을 'PMP'로 바꿉니다.\\r\\n시스템에 필요한 기본폴더 생성 및 파일들을 복사중입니다...\\r\\n파일 복사가 완료되었습니다.\\r\\n\\r\\n") ;;
        *) fail "the log does not end with the format's closing lines" ;;
    esac
    case $log in *'기록에 실패하였습니다'*) fail "a write failed" ;; esac
    case $log in *'Formatting drive E:...'*) ;; *) fail "no 'Formatting drive E:...' line" ;; esac
    serial=$(printf '%s' "$log" | sed -n 's/.*Volume ID is \([0-9a-f]*\):\([0-9a-f]*\).*/\1 \2/p')
    set -- $serial
    if [ $# = 2 ]; then
        perl "$here/check_fat32_image.pl" "$image" "$(printf '%04x%04x' 0x$1 0x$2)" || FAILED=1
    else
        fail "no volume serial number in the log"
    fi
    # dosfstools: clean but for the label, which Wine gives to the folder and not to the image.
    fsck_fat=$(command -v fsck.fat || echo /usr/sbin/fsck.fat)
    fsck_out=$("$fsck_fat" -n "$image" 2>&1) || true
    echo "$fsck_out"
    unexpected=$(echo "$fsck_out" | grep -v -e '^fsck.fat ' -e "^$image: 0 files, 1/65608 clusters$" \
        -e 'Label in boot sector is' -e 'no volume label in root directory' -e '^ *[0-9]) ' \
        -e 'Remove label' -e 'Auto-removing label from boot sector.' -e 'Leaving' -e '^$' || true)
    [ -z "$unexpected" ] || fail "fsck.fat reports: $unexpected"
    mdir -i "$image" :: > "$WORK/mdir.txt" 2>&1 || fail "mdir cannot read the volume: $(cat "$WORK/mdir.txt")"
    # The folders, and exactly the model's system files, byte-identical to the blocks.
    for dir in SYSTEM MOVIE MUSIC PHOTO TEXT; do
        [ -d "$folder/$dir" ] || fail "no folder $dir"
    done
    expected_files="DABBG.JPG:167 FILEBROW.JPG:168 HOMEBG.JPG:169 INTRO.JPG:170 TEXTBG.JPG:171 UNICODEF.FON:137"
    actual=$(ls "$folder/SYSTEM" | tr '\n' ' ')
    [ "$actual" = "DABBG.JPG FILEBROW.JPG HOMEBG.JPG INTRO.JPG TEXTBG.JPG UNICODEF.FON " ] ||
        fail "SYSTEM holds: $actual"
    for entry in $expected_files; do
        name=${entry%%:*} id=${entry##*:}
        "$WINE" "$PROBE" block "$(winpath "$exe")" "$id" "$(winpath "$WORK/block")" ||
            { fail "no block $id in the program"; continue; }
        cmp -s "$WORK/block" "$folder/SYSTEM/$name" || fail "SYSTEM/$name differs from block $id"
    done
    for dir in MOVIE MUSIC PHOTO TEXT; do
        [ -z "$(ls -A "$folder/$dir" 2>/dev/null)" ] || fail "$dir is not empty"
    done
    ;;
esac
[ $FAILED = 0 ] && echo "end-to-end test ($mode) passed"
exit $FAILED
