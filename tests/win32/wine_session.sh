# Sourced by the Wine tests: one Wine session on a private virtual X display, over the prefix
# that win32_wine_prefix prepared. Call wine_start first; wine_stop runs at exit.
#   TOLVEN_WINE_PREFIX  the prefix folder (under the build folder)
set -u
: "${TOLVEN_WINE_PREFIX:?TOLVEN_WINE_PREFIX must name the Wine prefix}"
export WINEPREFIX="$TOLVEN_WINE_PREFIX"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export LANG=C.UTF-8 LC_ALL=C.UTF-8
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)
XVFB_PID=

wine_stop() {
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# A display nobody uses: no lock file and no socket.
wine_start() {
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    trap 'status=$?; wine_stop; exit $status' EXIT
    trap 'exit 130' INT TERM
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on :$n"
    return 1
}

# A Linux path as Wine sees it (drive Z: is the Linux root).
winpath() {
    printf 'Z:%s' "$(echo "$1" | tr '/' '\\')"
}
