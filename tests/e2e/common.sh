# Shared by the end-to-end tests. Each test runs inside `xvfb-run -a`, so
# DISPLAY names a fresh X server of its own.
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A folder of its own with a copy of the program: the settings live beside it.
make_home() {
    HOME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-e2e.XXXXXX")
    trap 'stop_program; rm -rf "$HOME_DIR"' EXIT
    cp "$TOLVANE_BINARY" "$HOME_DIR/Tolvane"
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

# The id of a visible window of the program whose title matches the shell
# pattern $1 (xdotool's own matching is too loose to tell "Tolvane" from
# "Tolvane：待機中").
find_window() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$PROGRAM_PID" --name "" 2>/dev/null); do
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
