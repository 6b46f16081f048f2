# Sourced by the Wine tests of the dialog: starting the program, reading its windows through the
# probe, and the checks the tests share. Needs wine_session.sh sourced and wine_start run.
#   PROBE  the probe program; WORK a scratch folder; ARTIFACTS where screenshots go
MAIN_TITLE="Tolven Device Format Utility"
ABOUT_TITLE="TolvenFormat 정보"
PROGRAM_PID=
FAILED=0

fail() {
    echo "FAIL: $*"
    FAILED=1
}

probe() {
    "$WINE" "$PROBE" "$@"
}

# Starts a program in the background; its exit status lands in $WORK/exit_status.
start_program() {
    rm -f "$WORK/exit_status"
    ( "$WINE" "$1" > "$WORK/program.out" 2>&1; echo $? > "$WORK/exit_status" ) &
    PROGRAM_PID=$!
}

# Waits up to $1 seconds for the program to end; prints its exit status.
wait_program() {
    for _ in $(seq $(($1 * 10))); do
        if [ -f "$WORK/exit_status" ]; then
            wait "$PROGRAM_PID" 2>/dev/null || true
            cat "$WORK/exit_status"
            return 0
        fi
        sleep 0.1
    done
    echo timeout
}

# The children of a top-level window, one per line: id, class, visibility, state, text (with
# \r and \n escaped).
dump() {
    rm -f "$WORK/dump.txt"
    probe dump "$1" "$(winpath "$WORK/dump.txt")" && cat "$WORK/dump.txt"
}

# The field $2 (3 visibility, 4 state, 5 text) of control $1 in the last dump.
control_field() {
    awk -F '\t' -v id="$1" -v field="$2" '$1 == id { print $field; exit }' "$WORK/dump.txt"
}

expect_control() {
    actual=$(control_field "$1" "$2")
    [ "$actual" = "$3" ] || fail "control $1: expected '$3', found '$actual' ($4)"
}

screenshot() {
    import -display "$DISPLAY" -window root "$ARTIFACTS/$1" 2>/dev/null ||
        fail "no screenshot $1"
    echo "screenshot: $ARTIFACTS/$1"
}

# Waits up to $2 seconds until the log of the main dialog contains $1.
wait_log() {
    for _ in $(seq $(($2 * 2))); do
        dump "$MAIN_TITLE" > /dev/null 2>&1 || true
        case $(control_field 1000 5) in
            *"$1"*) return 0 ;;
        esac
        sleep 0.5
    done
    return 1
}

INTRODUCTION='톨벤 제품 전용 포맷 유틸리티입니다.\r\n톨벤 제품을 USB로 연결하시면 Format버튼이 활성화 됩니다.\r\n'

# The main dialog's frame from the last dump: "left top right bottom".
window_frame() {
    awk -F '\t' '$1 == "window" { gsub(",", " ", $2); print $2; exit }' "$WORK/dump.txt"
}

# A click on the caption of the window of the last dump activates it, as a user's would: the
# virtual desktop gets no keyboard focus otherwise.
click_caption() {
    set -- $(window_frame)
    xdotool mousemove --sync $((($1 + $3) / 2)) $(($2 + 8)) click 1
}
