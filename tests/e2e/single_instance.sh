#!/usr/bin/env bash
# One program per settings folder: a second start shows the running one's
# window and ends with status 0; after a kill -9 of the holder the next start
# runs as usual.
. "$(dirname "$0")/common.sh"
make_home

mkdir -p "$HOME_DIR/dest"
crlf "[Tolvane]" "SaveAt=$(native_path "$HOME_DIR/dest")" >"$HOME_DIR/Tolvane.Ini"
: >"$HOME_DIR/Tolvane.dat"

# Started hidden, as in everyday use: in the notification area.
if [ -n "${TOLVANE_WINE:-}" ]; then
    # Wine's tray window may outlive a killed program's icon; the lock file,
    # there only while a program holds it, tells the holder is up.
    running_hidden() { wine_tray >/dev/null && [ -e "$HOME_DIR/Tolvane.lock" ]; }
else
    trayer --edge top --align right --widthtype request --height 24 >"$HOME_DIR/trayer.log" 2>&1 &
    TRAYER_PID=$!
    trap 'stop_program; kill "$TRAYER_PID" 2>/dev/null || true; stop_x_server; rm -rf "$HOME_DIR"' EXIT
    wait_for 10 xdotool search --onlyvisible --class trayer >/dev/null ||
        fail "no tray: $(cat "$HOME_DIR/trayer.log")"
    # The program's icon, docked in the tray: a visible window not on the root.
    running_hidden() {
        local id
        for id in $(program_windows); do
            xwininfo -id "$id" -tree | grep -q 'Parent window id: .*(the root window)' || return 0
        done
        return 1
    }
fi

start_program
first=$PROGRAM_PID
wait_for 30 running_hidden || fail "the program did not start: $(cat "$HOME_DIR/output.log")"
! find_window "$MAIN_TITLE" >/dev/null || fail "the window showed although there is a notification area"

start_program
wait_for_end 30
[ "$EXIT_STATUS" -eq 0 ] || fail "the second start ended with status $EXIT_STATUS"
PROGRAM_PID=$first
kill -0 "$first" 2>/dev/null || fail "the first program ended"
wait_for 10 find_window "$MAIN_TITLE" >/dev/null || fail "the running program's window was not shown"

# The runner is no desktop program: it runs beside the holder, on the same
# settings folder.
if [ -z "${TOLVANE_WINE:-}" ]; then
    echo data >"$HOME_DIR/source.txt"
    "$TOLVANE_RUN_BINARY" --save-at "$HOME_DIR/dest" --settings "$HOME_DIR" "$HOME_DIR/source.txt" \
        >"$HOME_DIR/run.log" 2>&1 || fail "the runner failed beside the program: $(cat "$HOME_DIR/run.log")"
    [ -f "$HOME_DIR/dest/source.txt" ] || fail "the runner copied nothing"
fi

# Killed without warning, the holder leaves nothing that blocks: the next
# start runs, holds the folder in turn, and hands a further start over.
kill -KILL "$first"
wait "$first" 2>/dev/null || true
PROGRAM_PID=
if [ -n "${TOLVANE_WINE:-}" ]; then
    wait_for 10 test ! -e "$HOME_DIR/Tolvane.lock" || fail "the killed program's lock file stayed"
fi
start_program
third=$PROGRAM_PID
wait_for 30 running_hidden || fail "the start after the kill did not run: $(cat "$HOME_DIR/output.log")"
start_program
wait_for_end 30
[ "$EXIT_STATUS" -eq 0 ] || fail "the start beside the new holder ended with status $EXIT_STATUS"
PROGRAM_PID=$third
wait_for 10 find_window "$MAIN_TITLE" >/dev/null || fail "the new holder's window was not shown"
exit_by_shortcut
echo "PASS"
