#!/usr/bin/env bash
# The notification-area icon in an X11 tray (XEmbed): the program starts
# hidden with its icon docked in the tray, and the icon's right-button menu
# shows the window.
. "$(dirname "$0")/common.sh"
make_home
: >"$HOME_DIR/Tolvane.dat"

trayer --edge top --align right --widthtype request --height 24 >"$HOME_DIR/trayer.log" 2>&1 &
TRAYER_PID=$!
trap 'stop_program; kill "$TRAYER_PID" 2>/dev/null || true; stop_x_server; rm -rf "$HOME_DIR"' EXIT
wait_for 10 xdotool search --onlyvisible --class trayer >/dev/null ||
    fail "no tray: $(cat "$HOME_DIR/trayer.log")"

start_program
# Hidden, the program's one visible window is its icon, once docked.
docked_icon() {
    local id
    for id in $(program_windows); do
        if ! xwininfo -id "$id" -tree | grep -q 'Parent window id: .*(the root window)'; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
wait_for 20 docked_icon >/dev/null || fail "no icon in the tray: $(cat "$HOME_DIR/output.log")"
! find_window "$MAIN_TITLE" >/dev/null || fail "the window showed although the icon is in a tray"

icon=$(docked_icon)
xdotool mousemove --window "$icon" 5 5 click 3
menu_open() {
    [ "$(program_windows | wc -l)" -ge 2 ]
}
wait_for 10 menu_open || fail "the right button opened no menu"
# The first item of the 操作 menu is 表示.
xdotool key --clearmodifiers Down Return
wait_for 10 find_window "$MAIN_TITLE" >/dev/null || fail "表示 did not show the window"
exit_by_shortcut
echo "PASS"
