# Shared by the end-to-end scripts (sourced, bash): counting failures, patching bytes into an
# image, reading fsck.fat's verdict and naming the content blocks.

failures=0
# Counts and prints a failure; `fail_context` (the case's name) goes in front when set.
fail() {
    echo "FAIL${fail_context:+ [$fail_context]}: $*"
    failures=$((failures + 1))
}

# Writes bytes (given in decimal) into FILE at a byte offset: put_bytes FILE OFFSET BYTE...
put_bytes() {
    local file=$1 offset=$2 format=""
    shift 2
    for byte in "$@"; do
        format="$format$(printf '\\%03o' "$byte")"
    done
    # shellcheck disable=SC2059
    printf "$format" | dd of="$file" bs=1 seek="$offset" conv=notrunc status=none
}

# The four bytes of a little-endian 32-bit number, in decimal.
le32() {
    echo $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255))
}

# fsck.fat -n on VOLUME must pass without a single finding: only its version line and the
# summary. Prints what it found and fails otherwise (fsck.fat exits 0 after some findings).
fsck_findings() {
    local report code
    report=$(fsck.fat -n "$1" 2>&1)
    code=$?
    [ $code -eq 0 ] || { echo "fsck.fat exit $code: $report"; return 1; }
    report=$(printf '%s\n' "$report" | grep -v '^fsck.fat ' | grep -v ': [0-9]* files, [0-9]*/[0-9]* clusters$')
    [ -z "$report" ] || { echo "fsck.fat reports: $report"; return 1; }
}

# The file of content block ID in the folder $content.
block_file() {
    if [ "$1" = 137 ]; then echo "$content/block_137.fon"; else echo "$content/block_$1.jpg"; fi
}

# A fault test's work folder, made anew, and the files every run uses: $image, $out, $err and the
# fault library's $report.
fault_work_dir() {
    rm -rf "$1"
    mkdir -p "$1"
    image=$1/player.img
    out=$1/out.txt
    err=$1/err.txt
    report=$1/report.txt
}
