#!/bin/bash
# End-to-end cases of the terminal program on sparse disk images, checked with independent tools
# (fsck.fat, mtools) and against the content blocks byte for byte.
#   tolvenformat_e2e.sh PROGRAM CONTENT_DIR WORK_DIR CASE
set -u
program=$1
content=$2
work=$3
case_name=$4

# 4,300,800 sectors: above the 4,194,656 that make a FAT32-sized volume at 64 sectors per cluster.
image_size=2100M

rm -rf "$work"
mkdir -p "$work"
image=$work/player.img
out=$work/out.txt
err=$work/err.txt

# shellcheck source=SCRIPTDIR/../test_lib.sh
. "$(dirname "$0")/../test_lib.sh"
fail_context=$case_name

# Without a controlling terminal (setsid), as under CI: the panel and questions share stdout.
run() {
    setsid -w "$program" "$@" >"$out" 2>"$err" </dev/null
    status=$?
}

# A refusal before the question: exit 1, an English reason on stderr, nothing asked, nothing changed.
expect_refusal() {
    local reason=$1 before
    shift
    before=$(md5sum <"$image")
    run "$@"
    expect_status 1
    grep -q -F -- "$reason" "$err" || fail "no reason '$reason' on stderr: $(cat "$err")"
    grep -q '드라이브 포맷' "$out" && fail "asked although refused"
    [ "$(md5sum <"$image")" = "$before" ] || fail "the image changed"
}

expect_status() {
    [ "$status" -eq "$1" ] || fail "exit status $status, expected $1; stderr: $(cat "$err")"
}

# What a write would change: the modification time (nanoseconds), the allocated blocks and the
# system area's bytes. Cheaper than hashing a whole 2 GiB image.
image_state() {
    stat -c '%y %b %s' "$1"
    head -c 16M "$1" | md5sum
}

allocated_blocks() {
    stat -c %b "$1"
}

# The files of a model's SYSTEM folder, in the order they are written, with their block ids.
model_files() {
    case $1 in
        VQ10) echo "UNICODEF.FON:137 FILEBR_M.JPG:159 FILEBROW.JPG:160 HOMEBG.JPG:161 HOMEBG_M.JPG:162" \
                   "INTRO.JPG:163 INTRO_M.JPG:164 TEXTBG.JPG:165 TEXTBG_M.JPG:166" ;;
        VQ20 | VQ30) echo "UNICODEF.FON:137 DABBG.JPG:167 FILEBROW.JPG:168 HOMEBG.JPG:169 INTRO.JPG:170 TEXTBG.JPG:171" ;;
        VQ40 | VQ45) echo "UNICODEF.FON:137 FILEBROW.JPG:172 INTRO.JPG:173 MAINBACK.JPG:174 TEXTBG.JPG:175" ;;
        *) echo "" ;;
    esac
}

check_fsck() {
    local problem
    problem=$(fsck_findings "$1") || fail "$problem"
}

# The label, the folders and every system file of the model, through mtools.
check_volume() {
    local volume=$1 model=$2
    local label
    label=$(mlabel -i "$volume" -s :: 2>&1 | sed 's/ *$//')
    [ "$label" = " Volume label is PMP" ] || fail "label: '$label'"

    local folders expected_folders
    folders=$(mdir -i "$volume" -b :: 2>&1 | sed -e 's|^::/||' -e 's|/$||' | tr '\n' ' ')
    if [ -n "$(model_files "$model")" ]; then
        expected_folders="SYSTEM MOVIE MUSIC PHOTO TEXT "
    else
        expected_folders="SYSTEM MOVIE MUSIC PHOTO "
    fi
    [ "$folders" = "$expected_folders" ] || fail "root holds '$folders', expected '$expected_folders'"

    local names="" expected_names=""
    names=$(mdir -i "$volume" -b ::SYSTEM 2>/dev/null | sed 's|^::/SYSTEM/||' | tr '\n' ' ')
    for entry in $(model_files "$model"); do
        local name=${entry%%:*} id=${entry##*:}
        expected_names="$expected_names$name "
        if ! mtype -i "$volume" "::SYSTEM/$name" | cmp -s - "$(block_file "$id")"; then
            fail "SYSTEM/$name differs from block $id"
        fi
    done
    [ "$names" = "$expected_names" ] || fail "SYSTEM holds '$names', expected '$expected_names'"
}

# The status log's lines of a successful format, in order, then the panel with the new label.
check_log() {
    local model=$1 letter=$2
    local lines
    lines=$(grep -n -x -F -e '포맷작업 완료' -e "Volume Label을 'PMP'로 바꿉니다." \
        -e '시스템에 필요한 기본폴더 생성 및 파일들을 복사중입니다...' -e '파일 복사가 완료되었습니다.' "$out" |
        cut -d: -f1 | tr '\n' ' ')
    set -- $lines
    if [ $# -ne 4 ] || [ $(($2 - $1)) -ne 1 ] || [ $(($3 - $2)) -ne 1 ] || [ $(($4 - $3)) -ne 1 ]; then
        fail "the closing log lines are not in order: lines $lines"
        return
    fi
    local after
    after=$(sed -n "$(($4 + 1))p" "$out")
    [ -z "$after" ] || fail "no empty line after the completion line: '$after'"
    grep -q "^| $letter: PMP " "$out" || fail "the panel does not show the label PMP"
    grep -q "TOLVEN $model " "$out" || grep -q "TOLVEN $model\$" "$out" || fail "the panel does not show TOLVEN $model"
}

format_and_check() {
    local model=$1
    shift
    run --image "$image" --size "$image_size" --yes "$@"
    expect_status 0
    check_log "$model" D
    check_fsck "$image"
    check_volume "$image" "$model"
}

# A disk image with an MBR: one partition of type 0x0B from sector 2048 to the end.
make_mbr_image() {
    local sectors=$1
    truncate -s $((sectors * 512)) "$image"
    # status, CHS start (LBA only), type, CHS end, first sector, sector count
    # shellcheck disable=SC2046
    put_bytes "$image" 446 0 254 255 255 11 254 255 255 $(le32 2048) $(le32 $((sectors - 2048)))
    put_bytes "$image" 510 85 170
}

# The volume label's 11 bytes in the boot sector and in the root directory's label entry (the
# first entry there after a format).
put_label() {
    local reserved fats fat_sectors cluster_sectors root_cluster
    read -r reserved <<<"$(od -An -tu2 -j 14 -N 2 "$image")"
    read -r fats <<<"$(od -An -tu1 -j 16 -N 1 "$image")"
    read -r cluster_sectors <<<"$(od -An -tu1 -j 13 -N 1 "$image")"
    read -r fat_sectors <<<"$(od -An -tu4 -j 36 -N 4 "$image")"
    read -r root_cluster <<<"$(od -An -tu4 -j 44 -N 4 "$image")"
    put_bytes "$image" 71 "$@"
    put_bytes "$image" $(((reserved + fats * fat_sectors + (root_cluster - 2) * cluster_sectors) * 512)) "$@"
}

# No control byte of a hostile text reached the output: no ESC, no BEL, and each text in its
# sanitised form, on one line.
expect_sanitised() {
    local text
    if LC_ALL=C grep -q -P '[\x07\x1b]' "$out" "$err"; then
        fail "control bytes reached the output"
    fi
    for text in "$@"; do
        grep -q -F -- "$text" "$out" "$err" || fail "'$text' is not shown"
    done
}

case $case_name in
    model_VQ10 | model_VQ20 | model_VQ30 | model_VQ40 | model_VQ45)
        model=${case_name#model_}
        format_and_check "$model" --product "$model"
        ;;
    reformat_formatted_player)
        # The panel mounts the old volume before the question; after the format that mount is
        # stale and must not be the one the label and the files are written through.
        format_and_check VQ30 --product VQ30
        format_and_check VQ30 --product VQ30
        ;;
    disk_model_player)
        # A player that reports its internal disk's identification.
        format_and_check VQ10 --vendor "MAXTOR S" --product TM40215A
        ;;
    unknown_model)
        format_and_check XQ99 --product XQ99
        ;;
    product_with_second_word)
        # Only the product identification's first word is the model.
        format_and_check VQ30 --product "VQ30 PLAYER"
        ;;
    no_player)
        truncate -s "$image_size" "$image"
        run --image "$image" --vendor ACME --product STICK --yes
        expect_status 3
        grep -q -x 'tolvenformat: no Tolven player found' "$err" || fail "no explanation on standard error"
        grep -q 'TOLVEN 제품이 연결되지 않았습니다' "$out" || fail "the panel does not say that no player is connected"
        [ "$(allocated_blocks "$image")" -eq 0 ] || fail "something was written"
        ;;
    answered_no)
        truncate -s "$image_size" "$image"
        run --image "$image"
        expect_status 4
        grep -q -x 'tolvenformat: not formatted: confirmation needs a terminal on standard input, or --yes' "$err" ||
            fail "no explanation on standard error: $(cat "$err")"
        grep -q '드라이브 포맷' "$out" || fail "the confirmation was not asked"
        [ "$(allocated_blocks "$image")" -eq 0 ] || fail "something was written"
        grep -q '포맷작업' "$out" && fail "the formatter ran"
        ;;
    too_small)
        # 31 MiB (fewer than 65,536 sectors) with a recognisable first sector: refused before
        # the question, so before anything is written.
        truncate -s 31M "$image"
        printf 'KEEP ME' | dd of="$image" bs=1 conv=notrunc status=none
        expect_refusal "is too small for FAT32" "$image" --yes
        ;;
    refused_before_asking)
        # Small images: each reason is found before the size would be.
        truncate -s 64M "$image"
        # Busy: another program holds the image's lock.
        setsid flock "$image" sleep 60 &
        holder=$!
        sleep 0.3
        expect_refusal "Resource temporarily unavailable (another program is using it)" "$image" --yes
        kill -- -"$holder"
        wait "$holder" 2>/dev/null
        # Not writable: immutable for root, read-only for anyone else.
        if [ "$(id -u)" -eq 0 ] && chattr +i "$image" 2>/dev/null; then
            expect_refusal "for writing: Operation not permitted" "$image" --yes
            chattr -i "$image"
        elif [ "$(id -u)" -ne 0 ]; then
            chmod 444 "$image"
            expect_refusal "for writing: Permission denied" "$image" --yes
            chmod 644 "$image"
        fi
        # Mounted through a loop device, where the machine allows it.
        if [ "$(id -u)" -eq 0 ] && mkfs.ext4 -q -F "$image" 2>/dev/null && mkdir -p "$work/mnt" &&
            mount -o loop "$image" "$work/mnt" 2>/dev/null; then
            expect_refusal "contains a mounted file system" "$image" --yes
            umount "$work/mnt"
        else
            echo "note: no loop mount here; the mounted case is not checked"
        fi
        ;;
    targets)
        truncate -s "$image_size" "$image" "$work/second.img"
        # None named: the USB disks are searched (this machine has no player on USB).
        run --yes
        expect_status 3
        # Several players and none chosen: listed, exit 2, nothing written.
        run "$image" "$work/second.img" --yes
        expect_status 2
        grep -q -F "2 Tolven players found" "$err" || fail "the players are not listed: $(cat "$err")"
        grep -q -F "$work/second.img" "$err" || fail "the second player is not listed"
        [ "$(allocated_blocks "$image")" -eq 0 ] || fail "something was written"
        # --list and --dry-run change nothing and create nothing.
        before=$(image_state "$image")
        run --list "$image" "$work/second.img"
        expect_status 0
        [ "$(grep -c '^Target: ' "$out")" -eq 2 ] || fail "--list does not show both players"
        run --json "$image" "$work/second.img"
        expect_status 0
        grep -q '"letter": "E", "vendor": "TOLVEN", "model": "VQ10", "size": 2202009600' "$out" ||
            fail "--json: $(cat "$out")"
        grep -q '"state": "unformatted"' "$out" || fail "--json shows no state"
        run --dry-run "$image"
        expect_status 0
        [ "$(grep -c -E '^(Size : 2GB|512 Bytes Per|Volume ID is|32 Reserved|[0-9]+ Total clusters|[0-9]+ Free Clusters)' "$out")" -eq 6 ] ||
            fail "--dry-run does not print the six layout lines"
        [ "$(image_state "$image")" = "$before" ] || fail "--list or --dry-run changed the image"
        run --list --size 1G "$work/new.img"
        run -n --size 1G "$work/new.img"
        [ -e "$work/new.img" ] && fail "--list or --dry-run created an image"
        # A --size that differs from an existing image's is an error.
        run --size 1G "$image" --yes
        expect_status 1
        grep -q -F "exists with 2202009600 bytes, not the 1073741824 bytes" "$err" || fail "size: $(cat "$err")"
        # One named: formatted.
        run "$work/second.img" --yes
        expect_status 0
        check_fsck "$work/second.img"
        ;;
    terminal)
        # Under a pseudo-terminal, standard output redirected: the panel, the target and the
        # question reach the terminal, the Korean log the file; the typed n declines.
        truncate -s "$image_size" "$image"
        printf 'n\n' | script -q -e -c "$program $image > $out" "$work/screen.txt" >/dev/null
        status=$?
        expect_status 4
        for part in 'Format? [y/N]' "Target:        $image (disk image file)" '+-----'; do
            grep -q -F -- "$part" "$work/screen.txt" || fail "'$part' did not reach the terminal"
            grep -q -F -- "$part" "$out" && fail "'$part' went to the redirected output"
        done
        grep -q -x '톨벤 제품 전용 포맷 유틸리티입니다.' "$out" || fail "the log's header is not on stdout"
        [ "$(allocated_blocks "$image")" -eq 0 ] || fail "something was written"
        # The progress line: drawn and erased on a terminal's stderr, absent from a file.
        TERM=xterm script -q -e -c "$program $image --yes > $out" "$work/screen.txt" >/dev/null
        grep -q -E $'\r\033\\[K +[0-9]+%  [0-9.]+ [KM]iB of ' "$work/screen.txt" || fail "no progress line on the terminal"
        run "$image" --yes
        expect_status 0
        grep -q '%' "$err" && fail "a progress line on a redirected stderr"
        ;;
    describe_mbr_ext4)
        # An MBR disk whose partition holds ext4: the description names the table, the partition
        # and the file system before the question.
        make_mbr_image 4302848
        mkfs.ext4 -q -F -E offset=1048576 "$image" 100M 2>/dev/null || fail "mkfs.ext4 failed"
        run -n "$image"
        expect_status 0
        grep -q -F "Partitions:    an MBR (DOS) partition table" "$out" || fail "no table: $(cat "$out")"
        grep -q -F "1: start 2,048, 4,300,800 sectors (2.1 GiB), type 0x0b" "$out" || fail "no partition"
        ;;
    mbr_disk)
        make_mbr_image 4302848
        head_before=$(head -c 446 "$image" | md5sum)
        run --image "$image" --yes
        expect_status 0
        check_log VQ10 D
        [ "$(head -c 446 "$image" | md5sum)" = "$head_before" ] || fail "the boot code area changed"
        type=$(od -An -tx1 -j 450 -N 1 "$image" | tr -d ' ')
        [ "$type" = "0c" ] || fail "partition type $type, expected 0c"
        # fsck.fat takes no offset: check a copy of the partition. Everything the program writes
        # lies in its first 16 MiB (system area, folders, files); the rest stays a hole.
        truncate -s $(((4302848 - 2048) * 512)) "$work/partition.img"
        dd if="$image" of="$work/partition.img" bs=1M skip=1 count=16 conv=notrunc status=none
        [ "$(allocated_blocks "$image")" -le $((17 * 2048)) ] || fail "writes beyond the first 16 MiB"
        check_fsck "$work/partition.img"
        check_volume "$image@@1M" VQ10
        ;;
    list_only)
        format_and_check VQ10
        before=$(image_state "$image")
        run --image "$image" --list
        expect_status 0
        grep -q '^| D: PMP ' "$out" || fail "the panel does not show the player"
        grep -q -E 'KB Free / [0-9,]+KB Total' "$out" || fail "the panel shows no space"
        grep -q -F 'File systems:  vfat, label "PMP"' "$out" || fail "no vfat signature in the description"
        grep -q '드라이브 포맷' "$out" && fail "--list asked to format"
        [ "$(image_state "$image")" = "$before" ] || fail "--list changed the image"
        ;;
    usage_errors)
        for args in "--bogus" "--size 12Q --image x.img" "--image" "--size 0 --image x.img" "-yz" "--size 1G"; do
            # shellcheck disable=SC2086
            run $args
            [ "$status" -eq 2 ] || fail "'$args' gave exit $status, expected 2"
            grep -q '^tolvenformat: ' "$err" || fail "'$args' gave no message of the program's own"
        done
        run --image "$work/missing/dir/player.img" --size 1G
        expect_status 1
        grep -q -F "tolvenformat: cannot create '$work/missing/dir/player.img': No such file or directory" "$err" ||
            fail "unclear creation error: $(cat "$err")"
        run --image "$work/absent.img"
        expect_status 1
        grep -q -F "tolvenformat: cannot open '$work/absent.img'" "$err" || fail "unclear open error: $(cat "$err")"
        run --help
        expect_status 0
        grep -q '^Usage: tolvenformat' "$out" || fail "--help shows no usage"
        run --version
        expect_status 0
        grep -q '^tolvenformat [0-9]' "$out" || fail "--version shows no version"
        ;;
    broken_pipe)
        # A reader that went away, or a full device, takes the output, not the format: standard
        # output is a pipe whose reading end is closed before the program starts, then /dev/full.
        for sink in pipe /dev/full; do
            rm -f "$image"
            truncate -s "$image_size" "$image"
            python3 -c 'import os, subprocess, sys
r, w = os.pipe()
os.close(r)
out = w if sys.argv[1] == "pipe" else os.open(sys.argv[1], os.O_WRONLY)
sys.exit(subprocess.call(sys.argv[2:], stdout=out))' "$sink" "$program" --image "$image" --yes 2>"$err" </dev/null
            status=$?
            expect_status 5
            grep -q -F 'the volume was formatted and its system files written, but standard output could not be written' "$err" ||
                fail "$sink: no word about the lost log: $(cat "$err")"
            grep -q 'failed' "$err" && fail "$sink: reported as failed: $(cat "$err")"
            check_fsck "$image"
            check_volume "$image" VQ10
        done
        ;;
    closed_descriptors)
        # Started with a standard descriptor closed, the program must not get the image as that
        # descriptor: its own text would be written into the disk.
        format_and_check VQ10
        truncate -s 31M "$work/small.img"
        truncate -s 100M "$work/gpt.img"
        # shellcheck disable=SC2046
        put_bytes "$work/gpt.img" 446 0 254 255 255 238 254 255 255 $(le32 1) $(le32 204799)
        put_bytes "$work/gpt.img" 510 85 170
        # closed descriptor, exit status, target, options
        while IFS='|' read -r closing expected target args; do
            before=$(image_state "$target")
            eval "setsid -w \"\$program\" \"\$target\" $args >\"\$out\" 2>\"\$err\" </dev/null $closing"
            status=$?
            expect_status "$expected"
            [ "$(image_state "$target")" = "$before" ] || fail "'$args $closing' changed $target"
        done <<CASES
2>&-|3|$image|--list --vendor OTHER
1>&-|1|$image|-n
2>&-|4|$image|
1>&-|4|$image|
<&-|4|$image|
2>&-|1|$work/small.img|--yes
2>&-|1|$work/gpt.img|--yes
CASES
        # A format with a descriptor closed writes the volume and nothing else into the image.
        for closing in '2>&-|0' '1>&-|5'; do
            rm -f "$image"
            eval "setsid -w \"\$program\" --size $image_size --yes \"\$image\" >\"\$out\" 2>\"\$err\" </dev/null ${closing%|*}"
            status=$?
            expect_status "${closing#*|}"
            check_fsck "$image"
            check_volume "$image" VQ10
        done
        ;;
    disk_full)
        # A file system that fills up during the copy: the error is named.
        if [ "$(id -u)" -eq 0 ] && mkdir -p "$work/full" && mount -t tmpfs -o size=1M tmpfs "$work/full"; then
            run --size "$image_size" --yes "$work/full/player.img"
            umount "$work/full"
            expect_status 1
            grep -q -E "^tolvenformat: cannot write to '.*' at byte [0-9]+: No space left on device$" "$err" ||
                fail "the error is not named: $(cat "$err")"
        else
            echo "note: no tmpfs mount here; the full disk is not checked"
        fi
        ;;
    file_size_limit)
        # Under a file-size limit the image cannot be created: a failed write, no signal, no file.
        (ulimit -f 1024 && "$program" --image "$image" --size "$image_size" --yes >"$out" 2>"$err" </dev/null)
        status=$?
        expect_status 1
        grep -q -F 'File too large' "$err" || fail "no reason: $(cat "$err")"
        [ -e "$image" ] && fail "an image was left behind"
        ;;
    hostile_text)
        # A label and identification texts with terminal sequences and line breaks: each control
        # byte is shown as '?' in the panel, the description, the list and the messages.
        run --image "$image" --size "$image_size" --yes
        expect_status 0
        # ESC [2J, LF, ESC ]0;X BEL: clear the screen, break the line, set the window title.
        put_label 27 91 50 74 10 27 93 48 59 88 7
        label='?[2J??]0;X?'
        product=$'VQ10\e[31m\nX'
        run --list --image "$image" --product "$product"
        expect_status 0
        expect_sanitised "| D: $label" "label \"$label\"" 'TOLVEN VQ10?[31m?X' 'TOLVEN / VQ10?[31m?X'
        truncate -s "$image_size" "$work/second.img"
        run "$image" "$work/second.img" --product "$product" --yes
        expect_status 2
        expect_sanitised 'TOLVEN VQ10?[31m?X)'
        run --image "$image" --vendor $'AC\e[2J\nME' --yes
        expect_status 3
        expect_sanitised "reports vendor 'AC?[2J?ME'"
        ;;
    partition_tables)
        # A table that fails the checks is refused, named, and left as it is; a file system at
        # sector 0 would not be a table. Entries: status, CHS, type, CHS, first sector, count.
        sectors=204800
        while IFS='|' read -r entry1 entry2 reason; do
            rm -f "$image"
            truncate -s $((sectors * 512)) "$image"
            # shellcheck disable=SC2086
            [ -n "$entry1" ] && put_bytes "$image" 446 0 254 255 255 $entry1
            # shellcheck disable=SC2086
            [ -n "$entry2" ] && put_bytes "$image" 462 0 254 255 255 $entry2
            put_bytes "$image" 510 85 170
            expect_refusal "$reason" "$image" --yes
        done <<EOF
12 254 255 255 $(le32 2048) $(le32 400000)||partition 1 runs past the end of the disk (to sector 402048 of 204800)
12 254 255 255 $(le32 300000) $(le32 1000)||partition 1 starts at sector 300000, beyond the end of the disk
12 254 255 255 $(le32 0) $(le32 100000)||partition 1 starts at sector 0, over the table itself
|12 254 255 255 $(le32 2048) $(le32 100000)|partition 1 is empty; partition 2 holds data: repartition the disk, or name the partition itself
238 254 255 255 $(le32 1) $(le32 204799)||GUID (GPT) partition table
5 254 255 255 $(le32 2048) $(le32 100000)||whose partition 1 is an extended partition
EOF
        # A whole partitioned disk stands for its partition 1, where the machine has loop devices.
        make_mbr_image 131072
        before=$(md5sum <"$image")
        if [ "$(id -u)" -eq 0 ] && loop=$(losetup -P -f --show "$image" 2>/dev/null); then
            partx --add "$loop" 2>/dev/null  # without udev, the partition's node is made here
            run "$loop" --yes
            partx --delete "$loop" 2>/dev/null
            losetup -d "$loop"
            # Where no partition node appears, the disk is refused.
            grep -q -E "using ${loop}p1, the first partition of $loop|'$loop' holds an MBR \(DOS\) partition table, but the system shows no device for its partition 1" "$err" ||
                fail "neither partition 1 nor a refusal: $(cat "$err")"
            [ "$(md5sum <"$image")" = "$before" ] || fail "the loop device's disk changed"
        else
            echo "note: no loop device here; the whole-disk case is not checked"
        fi
        ;;
    record_locks)
        # A record lock of another process (a virtual machine's on its disk) keeps the image
        # untouched, its holder named.
        for command in F_SETLK F_OFD_SETLK; do
            rm -f "$image" "$work/ready"
            truncate -s 64M "$image"
            python3 -c 'import fcntl, struct, sys, time
f = open(sys.argv[1], "r+b")
fcntl.fcntl(f, getattr(fcntl, sys.argv[2]), struct.pack("hhqqii", fcntl.F_RDLCK, 0, 100, 1, 0, 0))
open(sys.argv[3], "w").close()
time.sleep(60)' "$image" "$command" "$work/ready" &
            locker=$!
            while [ ! -e "$work/ready" ] && kill -0 $locker 2>/dev/null; do sleep 0.05; done
            expect_refusal "(another program is using it); process $locker (python3) holds a lock on it" \
                "$image" --yes
            kill $locker
            wait $locker 2>/dev/null
        done
        ;;
    partition_nodes)
        # A partition node is judged by its disk's table: only partition 1 of a sound MBR is taken.
        [ "$(id -u)" -eq 0 ] || { echo "note: not root; partition nodes are not checked"; exit 0; }
        while IFS='|' read -r table node reason; do
            rm -f "$image"
            truncate -s 128M "$image"
            printf '%b\n' "$table" | sfdisk -q "$image" >/dev/null || fail "sfdisk: $table"
            loop=$(losetup -f --show "$image") || { fail "no loop device"; continue; }
            partx --add "$loop" 2>/dev/null
            before=$(md5sum <"$image")
            run "$loop$node" --yes
            partx --delete "$loop" 2>/dev/null
            losetup -d "$loop"
            grep -q -F -- "'$loop$node' is ${reason//DISK/$loop}" "$err" ||
                fail "$table: no reason '$reason': $(cat "$err")"
            [ "$(md5sum <"$image")" = "$before" ] || fail "$table: the disk changed"
        done <<EOF
label: gpt\nstart=2048, size=100000|p1|a partition of DISK, which holds a GUID (GPT) partition table
label: dos\nstart=2048, size=60000, type=c\nstart=62048, size=100000, type=c|p2|partition 2 of DISK; only partition 1 of an MBR (DOS) partition table is the player's volume
EOF
        ;;
    created_images)
        # Nothing is created for a command line that fails as a whole.
        many=()
        for i in $(seq 1 24); do many+=(--image "$work/n$i.img"); done
        run "${many[@]}" --size 64M --yes
        expect_status 2
        [ -n "$(ls "$work"/n*.img 2>/dev/null)" ] && fail "images were created for a failing command line"
        run "$work/a.img" "$work/missing/b.img" --size 64M --yes
        expect_status 1
        [ -e "$work/a.img" ] && fail "an image was created although the next cannot be"
        # An image created by a run that ends before the format is removed again.
        run "$image" --size 64M
        expect_status 4
        [ -e "$image" ] && fail "the declined run left its image"
        run "$image" --size 64M --vendor ACME --yes
        expect_status 3
        [ -e "$image" ] && fail "the run without a player left its image"
        # Ctrl-C typed at the question on a terminal, or SIGTERM sent there, removes it as well.
        for stop in ctrl-c:130 term:143; do
            python3 - "${stop%:*}" "$program" "$image" --size 64M >"$out" 2>"$err" <<'PY'
import os, pty, signal, sys
signal.alarm(60)
pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[2], sys.argv[2:])
seen = b""
while b"[y/N]" not in seen:
    seen += os.read(fd, 4096)
if sys.argv[1] == "ctrl-c":
    os.write(fd, b"\x03")
else:
    os.kill(pid, signal.SIGTERM)
sys.exit(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))
PY
            status=$?
            expect_status "${stop#*:}"
            [ -e "$image" ] && fail "stopped by $stop at the question, the run left its image"
        done
        # A dangling symbolic link is named as one, and nothing is created through it.
        ln -s "$work/elsewhere.img" "$work/link.img"
        run "$work/link.img" --size 64M --yes
        expect_status 1
        grep -q -F "is a symbolic link to '$work/elsewhere.img', which does not exist" "$err" ||
            fail "unclear reason: $(cat "$err")"
        [ -e "$work/elsewhere.img" ] && fail "an image was created through the link"
        ;;
    reasons)
        # Every failure has its English reason on stderr.
        python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$work/socket"
        run "$work/socket" --yes
        expect_status 3
        grep -q -F "'$work/socket' is a socket" "$err" || fail "socket: $(cat "$err")"
        truncate -s 64M "$image"
        if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
            chmod 600 "$image"
            chmod 755 "$work"
            # An unreadable image, and a disk opened without root (a loop device, where there is
            # one): the reason, not "no player".
            loop=$(losetup -f --show "$image" 2>/dev/null)
            for target in "$image" ${loop:+"$loop"}; do
                setsid -w setpriv --reuid=nobody --regid=nogroup --clear-groups "$program" "$target" --yes \
                    >"$out" 2>"$err" </dev/null
                status=$?
                expect_status 1
                hint=""
                [ "$target" = "$loop" ] && hint=" (opening a disk needs root)"
                grep -q -x -F "tolvenformat: cannot open '$target': Permission denied$hint" "$err" ||
                    fail "unreadable: $(cat "$err")"
            done
            [ -n "$loop" ] && losetup -d "$loop"
        fi
        (ulimit -f 8 && "$program" "$image" --yes >"$out" 2>"$err" </dev/null)
        status=$?
        expect_status 1
        grep -q -E "^tolvenformat: the format failed: cannot write to '.*' at byte [0-9]+: File too large$" "$err" ||
            fail "no reason for the failed write: $(cat "$err")"
        ;;
    c_locale)
        # No locale at all (cron, env -i) and LANG=C: every Korean line is its English gloss, so
        # no Korean is left as question marks (a syllable would be two).
        for locale in "" LANG=C; do
            rm -f "$image"
            setsid -w env -i PATH="$PATH" $locale "$program" --image "$image" --size "$image_size" --yes \
                >"$out" 2>"$err" </dev/null
            status=$?
            expect_status 0
            grep -q -F '??' "$out" && fail "Korean shown as question marks ($locale): $(grep -F '??' "$out")"
            for line in 'Format utility for Tolven products only.' 'Connect a Tolven product by USB to enable Format.' \
                '|                       not formatted                        |' \
                '[Format drive D:] Formatting deletes all data on the disk. Format?' 'Format complete' \
                "Changing the volume label to 'PMP'." 'File copy complete.'; do
                grep -q -x -F -- "$line" "$out" || fail "no line '$line' ($locale)"
            done
            check_fsck "$image"
        done
        ;;
    quiet)
        # -q: the log and the question stay; the panel, the description and the note go.
        run --image "$image" --size "$image_size" --yes -q
        expect_status 0
        for part in '+-----' 'Target: ' 'Terminal: '; do
            grep -q -F -- "$part" "$out" && fail "'$part' shown under -q"
        done
        grep -q -x '포맷작업 완료' "$out" || fail "the log is not shown under -q"
        grep -q -F '[D: 드라이브 포맷]' "$out" || fail "the question is not shown under -q"
        check_fsck "$image"
        ;;
    dumb_terminal)
        # TERM=dumb: progress as plain lines, not one control sequence on the terminal.
        truncate -s "$image_size" "$image"
        TERM=dumb script -q -e -c "$program $image --yes" "$work/screen.txt" >/dev/null
        LC_ALL=C grep -q -P '\x1b|\r(?!$)' "$work/screen.txt" && fail "a control sequence reached a dumb terminal"
        grep -q -E '^ +[1-9]0%  [0-9.]+ [KM]iB of ' "$work/screen.txt" || fail "no progress lines on a dumb terminal"
        check_fsck "$image"
        ;;
    *)
        echo "unknown case $case_name"
        exit 2
        ;;
esac

if [ $failures -ne 0 ]; then
    echo "--- program output ---"
    cat "$out"
    echo "--- errors ---"
    cat "$err"
    exit 1
fi
rm -rf "$work"
echo "PASS [$case_name]"
