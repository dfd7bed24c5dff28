# Sourced by common.sh when the tests drive the Windows program under Wine
# (TOLVANE_WINE names cmake/wine-run.sh). The steps stay the same; the program
# is Tolvane.exe in a folder of its own, its paths are Windows paths on Wine's
# Z: drive, and Wine runs in a prefix kept for the desktop tests.
export WINEPREFIX="$TOLVANE_WINE_PREFIX"
WINESERVER=/usr/lib/wine/wineserver
command -v wineserver >/dev/null 2>&1 && WINESERVER=wineserver

make_home() {
    HOME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-e2e.XXXXXX")
    trap 'stop_program; stop_wine; stop_x_server; rm -rf "$HOME_DIR"' EXIT
    cp "$TOLVANE_BINARY" "$HOME_DIR/Tolvane.exe"
    start_x_server
}

start_program() {
    (cd "$HOME_DIR" && exec "$TOLVANE_WINE" ./Tolvane.exe >"$HOME_DIR/output.log" 2>&1) &
    PROGRAM_PID=$!
}

# Wine's server and its desktop process belong to the X server of this test;
# the next test starts them afresh on its own.
stop_wine() {
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
}

native_path() {
    local path="$1"
    printf 'Z:%s' "${path//\//\\}"
}

# A Windows log-off: every program is asked to end its session.
end_session() {
    "$TOLVANE_WINE" wineboot --end-session >/dev/null 2>&1
}

# Windows always has a notification area; on an X server without one, Wine
# keeps the icons in a window of its own. The icon's menu shows the window.
wine_tray() {
    local id
    id=$(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n 1)
    [ -n "$id" ] && echo "$id"
}

show_main_window() {
    local tray
    wait_for 30 wine_tray >/dev/null || fail "no notification-area icon: $(cat "$HOME_DIR/output.log")"
    tray=$(wine_tray)
    # The first icon sits at the tray's left end.
    xdotool mousemove --window "$tray" 10 10 click 3
    wait_for 10 find_window "$MESSAGE_TITLE" >/dev/null || fail "the icon's right button opened no menu"
    # The menu's first item is 表示.
    xdotool key --clearmodifiers Down Return
    wait_for 10 find_window "$MAIN_TITLE" >/dev/null || fail "表示 did not show the window"
}
