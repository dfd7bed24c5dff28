# Shared by the end-to-end tests. Each test starts an X server of its own;
# Xvfb picks a free display number itself and reports it once it is ready.
# -noreset: a server that resets when its last client leaves refuses the next
# one for a moment, which made these tests flaky.
set -euo pipefail
# The program must talk to the X server, whatever the caller's environment says.
unset QT_QPA_PLATFORM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

start_x_server() {
    local fifo="$HOME_DIR/display"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x800x24 3>"$fifo" >"$HOME_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local number
    read -r -t 20 number <"$fifo" || fail "Xvfb did not start: $(cat "$HOME_DIR/xvfb.log")"
    export DISPLAY=":$number"
}

stop_x_server() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
}

# A folder of its own with a copy of the program (the settings live beside
# it) and an X server of its own.
make_home() {
    HOME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-e2e.XXXXXX")
    trap 'stop_program; stop_x_server; rm -rf "$HOME_DIR"' EXIT
    cp "$TOLVANE_BINARY" "$HOME_DIR/Tolvane"
    start_x_server
}

start_program() {
    (cd "$HOME_DIR" && exec ./Tolvane >"$HOME_DIR/output.log" 2>&1) &
    PROGRAM_PID=$!
}

stop_program() {
    if [ -n "${PROGRAM_PID:-}" ] && kill -0 "$PROGRAM_PID" 2>/dev/null; then
        kill -KILL "$PROGRAM_PID" 2>/dev/null || true
    fi
}

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# Waits for the program to end and sets EXIT_STATUS.
wait_for_end() {
    local deadline=$((SECONDS + $1))
    while kill -0 "$PROGRAM_PID" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the program did not end; output: $(cat "$HOME_DIR/output.log")"
        sleep 0.2
    done
    EXIT_STATUS=0
    wait "$PROGRAM_PID" || EXIT_STATUS=$?
    PROGRAM_PID=
}

# Ends the program with the exit shortcut on its main window (no unsaved
# changes, so nothing is asked) and expects status 0.
exit_by_shortcut() {
    local main
    main=$(find_window "$MAIN_TITLE") || fail "no main window to exit from"
    xdotool windowfocus --sync "$main"
    xdotool key --clearmodifiers ctrl+F4
    wait_for_end 10
    [ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS after the exit command"
}

# The ids of the program's visible windows.
program_windows() {
    xdotool search --all --onlyvisible --pid "$PROGRAM_PID" --name "" 2>/dev/null
}

# The id of a visible window of the program whose title matches the shell
# pattern $1 (xdotool's own matching is too loose to tell "Tolvane" from
# "Tolvane：待機中").
find_window() {
    local id
    for id in $(program_windows); do
        # shellcheck disable=SC2053
        if [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == $1 ]]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# The message boxes carry the bare title; the main window adds its status.
MESSAGE_TITLE="Tolvane"
MAIN_TITLE="Tolvane?*"

crlf() {
    printf '%s\r\n' "$@"
}

# A path as the program writes it in its settings.
native_path() {
    printf '%s' "$1"
}

# With no notification area on this X server the main window shows itself.
show_main_window() {
    wait_for 30 find_window "$MAIN_TITLE" || fail "no main window: $(cat "$HOME_DIR/output.log")"
}

# Appends a 5 to the interval on the main window, which leaves the settings
# unsaved: the interval box has the focus first.
edit_interval() {
    xdotool windowfocus --sync "$(find_window "$MAIN_TITLE")"
    xdotool key --clearmodifiers End 5
    sleep 0.5
}

# The end of the user's session as the system announces it: on Linux the
# session manager sends SIGTERM.
end_session() {
    kill -TERM "$PROGRAM_PID"
}

if [ -n "${TOLVANE_WINE:-}" ]; then
    # shellcheck source=wine.sh
    . "$(dirname "${BASH_SOURCE[0]}")/wine.sh"
fi
