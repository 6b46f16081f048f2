#!/bin/bash
# Signals during a whole command, raised by the fault library at a chosen write on the image:
# every signal that would end the process held back while the formatter writes the volume's
# structures, stopping the content copy between two files, a second SIGINT ending the run at once.
#   interrupt_e2e.sh PROGRAM SHIM WORK_DIR
set -u
program=$1
shim=$2
work=$3

# shellcheck source=SCRIPTDIR/../test_lib.sh
. "$(dirname "$0")/../test_lib.sh"
fault_work_dir "$work"

# fsck.fat without a finding: the structures are whole whatever the copy did.
check_fsck() {
    local problem
    problem=$(fsck_findings "$image") || fail "$1: $problem"
}

# Runs the whole command with signal $1 raised $2 times at write $3 on the image.
run_with_signal() {
    rm -f "$image"
    truncate -s 2100M "$image"
    FAULT_TARGET=$image FAULT_OP=${1:+signal} FAULT_SIGNAL=${1:-0} FAULT_REPEAT=$2 FAULT_AT=$3 \
        FAULT_REPORT=$report LD_PRELOAD=$shim "$program" --image "$image" --yes >"$out" 2>"$err" </dev/null
    status=$?
}

run_with_signal "" 0 0
[ $status -eq 0 ] || { echo "FAIL: the clean run exited $status: $(cat "$err")"; exit 1; }
read -r _ writes _ <"$report"
copying=$((writes * 3 / 4))  # inside the content copy, which takes most of the writes

# Every other signal whose default action ends the process is held back the same way.
held_back=""
for name in QUIT USR1 USR2 ALRM VTALRM PROF XCPU PWR STKFLT IO RTMIN RTMAX; do
    number=$(kill -l "$name")
    held_back+="SIG$name while formatting|$number|1|5|$((128 + number))|the format is finishing"$'\n'
done
held_back+="SIGQUIT while copying|$(kill -l QUIT)|1|$copying|131|the copy stops after the current file"

# name, signal, repeat, write, expected status, stderr text
while IFS='|' read -r name signal repeat at expected text; do
    run_with_signal "$signal" "$repeat" "$at"
    [ "$status" -eq "$expected" ] || fail "$name: exit $status, expected $expected; $(cat "$err")"
    grep -q -F "$text" "$err" || fail "$name: stderr lacks '$text': $(cat "$err")"
    if [ "$repeat" -eq 1 ]; then
        check_fsck "$name"
        grep -q -F '파일 복사가 완료되었습니다.' "$out" && fail "$name: the copy was reported complete"
    fi
done <<CASES
SIGINT while formatting|2|1|5|130|the format is finishing
SIGHUP while formatting|1|1|5|129|the format is finishing
SIGTERM while copying|15|1|$copying|143|the copy stops after the current file
second SIGINT ends at once|2|2|5|130|stopped at once
$held_back
CASES

rm -rf "$work"
[ $failures -eq 0 ] || exit 1
echo PASS
