#!/bin/sh
# Under Wine: the shipped program starts, shows its dialog as the templates give it, finds no
# player (Wine answers no storage query) and says so when the Format command is forced, opens
# and closes its About box from the system menu, and ends with exit code 0 when Enter presses
# the focused Exit button.
#   smoke_test.sh PROBE EXE ARTIFACTS
set -eu
PROBE=$1 exe=$2 ARTIFACTS=$3
here=$(dirname "$0")
. "$here/wine_session.sh"
. "$here/dialog_checks.sh"
WORK=$(mktemp -d)
mkdir -p "$ARTIFACTS"
wine_start
trap 'status=$?; wine_stop; rm -rf "$WORK"; exit $status' EXIT

start_program "$exe"
probe wait "$MAIN_TITLE" 30 || { fail "the window \"$MAIN_TITLE\" did not appear"; exit 1; }
sleep 1
dump "$MAIN_TITLE"
expect_control 1000 5 "$INTRODUCTION" "the log holds the two introduction lines"
expect_control 1001 4 disabled "no player: the Format button is disabled"
expect_control 1001 5 Format "the Format button's text"
expect_control 1002 3 hidden "the progress bar stays hidden"
expect_control 1002 2 msctls_progress32 "the progress bar's class"
expect_control 1 5 "종료" "the Exit button's text"
expect_control 1 4 enabled "the Exit button"
expect_control 1003 3 visible "the panel frame"
# Centred horizontally on the 800 x 600 desktop, a quarter of the free height above it.
set -- $(window_frame)
width=$(($3 - $1)) height=$(($4 - $2))
[ "$1" = $(((800 - width) / 2)) ] && [ "$2" = $(((600 - height) / 4)) ] ||
    fail "the window stands at $1,$2 instead of $(((800 - width) / 2)),$(((600 - height) / 4))"
screenshot win32_smoke_main.png

# Even a click that reaches the command without a player only shows the information box.
probe command "$MAIN_TITLE" 1001
if probe wait "장치확인" 15; then
    sleep 0.3
    dump "장치확인" > /dev/null
    grep -q 'TOLVEN 제품이 연결되지 않았습니다\.' "$WORK/dump.txt" || fail "the information box lacks its text"
    probe command "장치확인" 1
    probe wait-gone "장치확인" 10 || fail "the information box did not close"
    dump "$MAIN_TITLE" > /dev/null
    expect_control 1000 5 "$INTRODUCTION" "the information box adds nothing to the log"
else
    fail "no information box \"장치확인\" for a Format command without a player"
fi

# A volume arrival rescans; Wine still answers no storage query, so there is still no player.
probe devicechange "$MAIN_TITLE" 0x8000 || fail "the device change was not delivered"
dump "$MAIN_TITLE" > /dev/null || fail "the window is gone after a device change"
expect_control 1001 4 disabled "the rescan after a device arrival still finds no player"

# The About item of the system menu (command 0x10).
probe syscommand "$MAIN_TITLE" 0x10
if probe wait "$ABOUT_TITLE" 15; then
    sleep 0.5
    dump "$ABOUT_TITLE"
    grep -q "TolvenFormat 버전 1.0" "$WORK/dump.txt" || fail "the About box lacks its version line"
    expect_control 1 5 "확인" "the About box's OK button"
    screenshot win32_smoke_about.png
    probe command "$ABOUT_TITLE" 1
    probe wait-gone "$ABOUT_TITLE" 10 || fail "the About box did not close with its OK button"
else
    fail "the About box did not open from the system menu"
fi

# The focus is on the Exit button: once the window is active, Enter ends the program.
sleep 0.5
dump "$MAIN_TITLE" > /dev/null
click_caption
sleep 0.3
xdotool key --clearmodifiers Return
status=$(wait_program 20)
[ "$status" = 0 ] || fail "the program ended with '$status' instead of exit code 0 after Enter"
if [ "$status" = timeout ]; then
    probe command "$MAIN_TITLE" 1 || true
    wait_program 10 > /dev/null
fi
[ $FAILED = 0 ] && echo "smoke test passed"
exit $FAILED
